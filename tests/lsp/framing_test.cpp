// The message reader against the base protocol's framing: whole messages
// however the bytes are cut, the header fields a client may send, and
// recovery from headers that cannot be read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lsp/framing.hpp"

namespace {

struct Read {
    std::vector<std::string> bodies;
    std::vector<std::string> problems;
};

// Feeds the bytes in pieces of `piece` bytes, taking every frame after each.
Read ReadAll(const std::string& bytes, std::size_t piece) {
    lsp::FrameReader reader;
    Read read;
    std::string body, problem;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        lsp::Feed(reader, std::string_view(bytes).substr(at, piece));
        for (;;) {
            const lsp::FrameResult result = lsp::NextFrame(reader, body, problem);
            if (result == lsp::FrameResult::NeedMore) break;
            if (result == lsp::FrameResult::Message) read.bodies.push_back(body);
            if (result == lsp::FrameResult::Refused) read.problems.push_back(problem);
        }
    }
    return read;
}

std::string Framed(const std::string& body) {
    std::string out;
    lsp::AppendFrame(out, body);
    return out;
}

TEST(Framing, AFrameIsItsLengthAnEmptyLineAndTheBody) {
    EXPECT_EQ(Framed("{}"), "Content-Length: 2\r\n\r\n{}");
    // The length counts bytes: "é" is two.
    EXPECT_EQ(Framed("\"\xC3\xA9\""), "Content-Length: 4\r\n\r\n\"\xC3\xA9\"");
}

TEST(Framing, MessagesComeWholeHoweverTheBytesAreCut) {
    const std::string stream = Framed("{\"a\":1}") + Framed("[\r\n\r\n]") + Framed("") + Framed("{\"b\":2}");
    for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{7}, stream.size()}) {
        SCOPED_TRACE(piece);
        const Read read = ReadAll(stream, piece);
        EXPECT_EQ(read.bodies, (std::vector<std::string>{"{\"a\":1}", "[\r\n\r\n]", "", "{\"b\":2}"}));
        EXPECT_TRUE(read.problems.empty());
    }
}

TEST(Framing, TheHeaderMayCarryOtherFieldsAnyCaseAndBareLineFeeds) {
    const std::string stream =
        "Content-Type: application/vscode-jsonrpc; charset=utf-8\r\ncontent-length:  3 \r\n\r\nabc"
        "CONTENT-LENGTH: 2\n\nde";
    const Read read = ReadAll(stream, 5);
    EXPECT_EQ(read.bodies, (std::vector<std::string>{"abc", "de"}));
    EXPECT_TRUE(read.problems.empty());
}

TEST(Framing, AHeaderThatCannotBeReadIsDroppedAndTheNextMessageRead) {
    const std::string stream = "Content-Type: text\r\n\r\n"          // no length
                               "Content-Length: 12x\r\n\r\n"         // not a number
                               "Content-Length: 2\r\nContent-Length: 3\r\n\r\n"  // two lengths
                               "no colon here\r\n\r\n" +
                               Framed("ok");
    const Read read = ReadAll(stream, 3);
    EXPECT_EQ(read.bodies, (std::vector<std::string>{"ok"}));
    EXPECT_EQ(read.problems, (std::vector<std::string>{"header without Content-Length", "Content-Length is not a number",
                                                       "two different Content-Length fields",
                                                       "header line without a colon"}));
}

TEST(Framing, BytesBeforeAHeaderAreDroppedUpToItsLength) {
    // A body sent two bytes longer than its header said: the two bytes stand
    // before the next header.
    const std::string stream = "Content-Length: 2\r\n\r\n{}}]" + Framed("next");
    const Read read = ReadAll(stream, 4);
    EXPECT_EQ(read.bodies, (std::vector<std::string>{"{}", "next"}));
    EXPECT_EQ(read.problems.size(), 1u);
}

TEST(Framing, ABodyAboveTheLimitIsDroppedAsItArrives) {
    const std::size_t length = lsp::kMaxBodyBytes + 10;
    // Only 1 MB of the body is sent before the stream goes on: the reader
    // must drop that much and then take the rest of the announced body too,
    // so the stream used here ends the body with the next message's bytes
    // counted in.
    std::string stream = "Content-Length: " + std::to_string(length) + "\r\n\r\n";
    lsp::FrameReader reader;
    std::string body, problem;
    lsp::Feed(reader, stream);
    EXPECT_EQ(lsp::NextFrame(reader, body, problem), lsp::FrameResult::Refused);
    EXPECT_NE(problem.find("larger than"), std::string::npos);
    const std::string chunk(1 << 20, 'x');
    std::size_t sent = 0;
    while (sent + chunk.size() <= length) {
        lsp::Feed(reader, chunk);
        sent += chunk.size();
        ASSERT_EQ(lsp::NextFrame(reader, body, problem), lsp::FrameResult::NeedMore);
    }
    lsp::Feed(reader, std::string(length - sent, 'x') + Framed("after"));
    ASSERT_EQ(lsp::NextFrame(reader, body, problem), lsp::FrameResult::Message);
    EXPECT_EQ(body, "after");
    EXPECT_FALSE(lsp::HasPartialFrame(reader));
}

TEST(Framing, AHeaderWithoutEndIsGivenUpOn) {
    std::string stream(lsp::kMaxHeaderBytes + 100, 'h');
    stream += "\r\n" + Framed("later");
    const Read read = ReadAll(stream, 4096);
    EXPECT_EQ(read.bodies, (std::vector<std::string>{"later"}));
    ASSERT_FALSE(read.problems.empty());
}

}  // namespace

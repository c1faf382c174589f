// The JSON form of the diagnostics against the plain lines, over every
// source of the golden cases and both programs: the JSON parses, holds one
// object per line with the stable fields, and each object says what its
// line says.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/golden_sources.hpp"
#include "tests/support/scratch_folder.hpp"

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- a small JSON reader

struct Json {
    enum class Kind { Null, Number, String, Array, Object, Bool } kind = Kind::Null;
    long long number = 0;
    std::string text;
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;  // in their order

    const Json* Member(const std::string& name) const {
        for (const auto& [key, value] : members) {
            if (key == name) return &value;
        }
        return nullptr;
    }
};

struct Reader {
    const std::string& in;
    std::size_t at = 0;
    bool failed = false;

    void Blanks() {
        while (at < in.size() && (in[at] == ' ' || in[at] == '\n' || in[at] == '\r' || in[at] == '\t')) ++at;
    }
    bool Take(char c) {
        Blanks();
        if (at < in.size() && in[at] == c) {
            ++at;
            return true;
        }
        return false;
    }
    void Fail() { failed = true; }

    static void PutUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    unsigned Hex4() {
        if (at + 4 > in.size()) {
            Fail();
            return 0;
        }
        unsigned value = static_cast<unsigned>(std::stoul(in.substr(at, 4), nullptr, 16));
        at += 4;
        return value;
    }

    std::string String() {
        std::string out;
        if (!Take('"')) {
            Fail();
            return out;
        }
        while (at < in.size() && in[at] != '"') {
            const unsigned char c = static_cast<unsigned char>(in[at++]);
            if (c < 0x20) Fail();  // control characters must be escaped
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (at >= in.size()) break;
            const char e = in[at++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    unsigned code = Hex4();
                    if (code >= 0xD800 && code < 0xDC00 && in.compare(at, 2, "\\u") == 0) {
                        at += 2;
                        code = 0x10000 + ((code - 0xD800) << 10) + (Hex4() - 0xDC00);
                    }
                    PutUtf8(out, code);
                    break;
                }
                default: Fail();
            }
        }
        if (!Take('"')) Fail();
        return out;
    }

    Json Value() {
        Json value;
        Blanks();
        if (at >= in.size()) {
            Fail();
            return value;
        }
        const char c = in[at];
        if (c == '[') {
            ++at;
            value.kind = Json::Kind::Array;
            if (Take(']')) return value;
            do {
                value.items.push_back(Value());
            } while (!failed && Take(','));
            if (!Take(']')) Fail();
        } else if (c == '{') {
            ++at;
            value.kind = Json::Kind::Object;
            if (Take('}')) return value;
            do {
                std::string key = String();
                if (!Take(':')) Fail();
                value.members.emplace_back(std::move(key), Value());
            } while (!failed && Take(','));
            if (!Take('}')) Fail();
        } else if (c == '"') {
            value.kind = Json::Kind::String;
            value.text = String();
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            value.kind = Json::Kind::Number;
            std::size_t used = 0;
            value.number = std::stoll(in.substr(at), &used);
            at += used;
        } else if (in.compare(at, 4, "null") == 0) {
            at += 4;
        } else if (in.compare(at, 4, "true") == 0 || in.compare(at, 5, "false") == 0) {
            value.kind = Json::Kind::Bool;
            at += in[at] == 't' ? 4u : 5u;
        } else {
            Fail();
        }
        return value;
    }
};

// The whole text as one JSON value; `ok` is false unless it parses and
// nothing but white space follows.
Json Parse(const std::string& text, bool& ok) {
    Reader reader{text};
    Json value = reader.Value();
    reader.Blanks();
    ok = !reader.failed && reader.at == text.size();
    return value;
}

// ---------------------------------------------------------------- the runs

// Standard error of the program on the source, read from standard input.
std::string StandardError(const std::string& program, const fs::path& folder, const std::string& options) {
    const std::string command = "cd '" + folder.string() + "' && '" + program + "' " + options +
                                " - <source >/dev/null 2>stderr.txt";
    const int raw = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) <= 1) << command;
    return test_support::ReadBytes(folder / "stderr.txt");
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

// The plain line a JSON object stands for.
std::string PlainLine(const Json& d) {
    std::string line = d.Member("file")->text + ":" + std::to_string(d.Member("line")->number) + ":" +
                       std::to_string(d.Member("column")->number) + ": " + d.Member("severity")->text + ": " +
                       d.Member("message")->text;
    if (d.Member("code")->kind == Json::Kind::String) line += " [" + d.Member("code")->text + "]";
    return line;
}

void CheckProgram(const std::string& name, const std::string& program) {
    const std::vector<fs::path> sources = test_support::GoldenSources(GOLDEN_DIR, name);
    ASSERT_GT(sources.size(), 20u);
    const test_support::ScratchFolder scratch("diagnostic-formats");
    std::size_t objects = 0;
    for (const fs::path& path : sources) {
        SCOPED_TRACE(path.string());
        {
            std::ofstream out(scratch / "source", std::ios::binary);
            out << test_support::ReadBytes(path);
        }
        const std::vector<std::string> plain = LinesOf(StandardError(program, scratch.Path(), ""));
        const std::string json = StandardError(program, scratch.Path(), "-fdiagnostics-format=json");
        bool ok = false;
        const Json array = Parse(json, ok);
        ASSERT_TRUE(ok && array.kind == Json::Kind::Array) << json;
        ASSERT_EQ(array.items.size(), plain.size()) << json;
        for (std::size_t i = 0; i < plain.size(); ++i) {
            const Json& d = array.items[i];
            ASSERT_EQ(d.kind, Json::Kind::Object);
            std::vector<std::string> keys;
            for (const auto& member : d.members) keys.push_back(member.first);
            EXPECT_EQ(keys, (std::vector<std::string>{"file", "line", "column", "endColumn", "severity", "code",
                                                      "message", "fix"}));
            if (keys.size() != 8) continue;
            EXPECT_EQ(d.Member("file")->text, "<stdin>");
            EXPECT_EQ(d.Member("line")->kind, Json::Kind::Number);
            EXPECT_GE(d.Member("endColumn")->number, d.Member("column")->number);
            EXPECT_TRUE(d.Member("code")->kind == Json::Kind::String || d.Member("code")->kind == Json::Kind::Null);
            EXPECT_TRUE(d.Member("fix")->kind == Json::Kind::Null ||
                        (d.Member("fix")->kind == Json::Kind::String && !d.Member("fix")->text.empty()));
            EXPECT_EQ(PlainLine(d), plain[i]);
            ++objects;
        }
    }
    EXPECT_GT(objects, 50u);
}

TEST(DiagnosticFormats, JsonAgreesWithThePlainLinesOnEveryCtrlforgeGoldenSource) {
    CheckProgram("ctrlforge", CTRLFORGE_PROGRAM);
}

TEST(DiagnosticFormats, JsonAgreesWithThePlainLinesOnEveryWordforgeGoldenSource) {
    CheckProgram("wordforge", WORDFORGE_PROGRAM);
}

}  // namespace

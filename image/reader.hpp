#pragma once
// Reading memory images back into placed words: every format the writers
// beside this file produce, the object files of both programs, and the
// 8-bit lane files of any of them put together again. The reader does no
// file I/O: it takes each file's bytes and name (the name picks the format
// by its extension and the lane by ".lane<N>", and names the file in
// messages).
//
// Contract:
// - ReadImages never throws and never crashes, whatever the bytes. It needs
//   memory of a small multiple of the input's size plus the store's depth;
//   a file that cannot be an image of the store is refused at its first
//   fault, so a large file of noise costs one pass at most.
// - The result is the words the file gives, as image::PlacedWord (address,
//   word) in file order; a later word at an address replaces an earlier
//   one, as loading an object file does (image::Load). Intel HEX read at
//   byte addresses and raw binary give ascending addresses. Dense formats
//   (Logisim, MIF, bin) give every word they hold, fill words included.
// - A word from a file that holds x or z digits in every place ($writememh
//   of a word never loaded) gives no word but takes its address.
// - On any fault the result holds no words and one ReadError: the file, the
//   line (text formats, counted from 1) or the byte offset (bin), and a text
//   that names the fault. FormatReadError prints it as editors read it.
// - The caller gives the machine's word width and depth (40 bits and 4096
//   words for the control store, 16 and 65536 for main memory): a word
//   wider than the width, an address at or beyond the depth, and a width
//   the file states (MIF WIDTH, the kind of object file) other than the
//   width of its words are faults.
// - No text line may be longer than kMaxImageLine characters, line end
//   not counted. Lines end with LF or CR LF.
//
// Formats, by name (ReadFormats; the names of image::Formats and "object"):
// - readmemh, readmemb: Verilog $readmemh/$readmemb text: white space,
//   "//" and "/* */" comments, "@hex" word addresses, numbers of hex
//   (binary) digits with "_" allowed after the first, x and z digits.
// - intelhex: records ":LLAAAATT...CC" with checked checksums; types 00
//   data, 01 end (required, and last), 02 and 04 upper addresses, 03 and 05
//   start addresses (ignored). At byte addresses (ReadRequest::hexAddressing
//   Bytes, the default) each word is its bytes big-endian at word address
//   times bytes per word, every byte of a word required; at word addresses
//   each record holds whole words.
// - logisim: "v3.0 hex words addressed" (as Logisim reads it: "#" comments,
//   the rest of a line after two blanks ignored, "0x" and the colon
//   optional), "v3.0 hex words plain", "v3.0 hex words" (addressed when its
//   first line holds ':'), and "v2.0 raw" with "N*value" runs, N decimal.
// - mif: DEPTH, WIDTH, ADDRESS_RADIX and DATA_RADIX (BIN, OCT, DEC, UNS,
//   HEX) statements, then CONTENT BEGIN, lines "a : v;", "a : v v ...;"
//   (consecutive addresses) and "[a..b] : v;", and END; "--" and "% %"
//   comments. Each address may be given once; DEPTH may not exceed the
//   store's.
// - bin: words of image::BytesPerWord bytes, big-endian, from address 0.
// - object: a ctrlforge ".o" (first line "CM   " and the title, then lines
//   "AAA  HHHHHHHHHH") or a wordforge ".b" (first line "MM" or "MM " and the
//   title, then "AAAA  HHHH"), told apart by the first line.
//
// The format: the request's name if it gives one; else the extension of
// the file's name (".mem", ".memb", ".hex", ".img", ".mif", ".bin", ".o",
// ".b", any letter case); else the content (DetectFormat): the first line
// that is not blank starting ':' is Intel HEX, "CM   " or "MM" an object
// file; "v2.0"/"v3.0" after any "#" comments Logisim; DEPTH, WIDTH,
// ADDRESS_RADIX, DATA_RADIX or CONTENT after any MIF comments a MIF;
// other text of Verilog comments, "@" and digits readmemb when all its
// numbers are binary digits and one is longer than a word's hex digits,
// else readmemh; anything else (bytes outside text) bin.
//
// Lanes: a lane file names its lane in its name, ".lane<N>" just before
// the extension or at the end (image::ImageFileName). Lane N holds bits
// 8N+7..8N of each word, so lane 0 is the least significant byte (as
// image::SplitLane cuts them). ReadImages given lane files wants every lane
// of the width exactly once, all in one format, all with words at the same
// addresses; it gives lane 0's words in lane 0's order, each put together
// from the last word of every lane at that address.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "image/image.hpp"
#include "image/intel_hex.hpp"
#include "image/placed_word.hpp"
#include "image/read_error.hpp"

namespace image {


enum class ReadFormat { Readmemh, Readmemb, IntelHex, Logisim, Mif, Bin, Object };

// Every format the reader takes, in the order above; the first six are
// image::Format's and bear its names.
std::span<const ReadFormat> ReadFormats();
// "readmemh", ... "object": what a format option names.
std::string_view NameOf(ReadFormat format);
std::optional<ReadFormat> FindReadFormat(std::string_view name);
// "readmemh, readmemb, intelhex, logisim, mif, bin, object", for messages.
std::string ReadFormatNames();
// The writer of the same format; none for object files.
std::optional<Format> WriterOf(ReadFormat format);

// How the format was decided.
enum class FormatSource { Named, Extension, Content };

struct DetectedFormat {
    ReadFormat format;
    FormatSource source;
};

// The format from the name's extension, else from the bytes. `wordBits`
// is the width of the file's words (8 for a lane file): it tells readmemb
// text from readmemh text that holds only 0 and 1 digits.
DetectedFormat DetectFormat(std::string_view name, std::string_view bytes, unsigned wordBits);

// The lane a file's name gives, if any: "fetch.mic.lane3.mem" gives 3.
std::optional<unsigned> LaneOfName(std::string_view name);

struct ImageFile {
    std::string name;        // the file's name as the user gave it
    std::string_view bytes;  // its whole contents, kept by the caller
};

struct ReadRequest {
    unsigned wordBits = 0;      // the machine's word width, 1 to 64: 40 or 16
    std::uint32_t depth = 0;    // words in its store, at most kMaxImageDepth: 4096 or 65536
    std::string format;         // a name of ReadFormats, or empty to detect it
    HexAddressing hexAddressing = HexAddressing::Bytes;  // Intel HEX only
};

struct ReadResult {
    std::vector<PlacedWord> words;
    std::optional<unsigned> fileWordBits;  // the width the file states (MIF, object files)
    ReadFormat format = ReadFormat::Bin;
    FormatSource formatSource = FormatSource::Content;
    bool lanes = false;                    // put together from lane files
    std::optional<ReadError> error;        // set when the files were refused; then no words
};

// One whole image, or the complete set of lane files of one image.
ReadResult ReadImages(std::span<const ImageFile> files, const ReadRequest& request);
ReadResult ReadImage(const ImageFile& file, const ReadRequest& request);

// "FILE:LINE: error: TEXT", "FILE: error: at byte N: TEXT" or
// "FILE: error: TEXT".
std::string FormatReadError(const ReadError& error);

}  // namespace image

// Line reading with the character checks.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "IbisParser/cmn.h"
#include "msg_test_capture.h"

namespace {

// A temporary stream holding the given bytes, positioned at the start.
class InputFile {
public:
    explicit InputFile(const std::string& bytes) : file_(std::tmpfile()) {
        std::fwrite(bytes.data(), 1, bytes.size(), file_);
        std::rewind(file_);
    }
    ~InputFile() { std::fclose(file_); }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    FILE* get() const { return file_; }

private:
    FILE* file_;
};

std::string ReadLine(FILE* stream, size_t size = 200) {
    std::string buffer(size, '#');
    const char* line = CMN_ReadLine(buffer.data(), size, stream);
    return line ? std::string(line) : std::string("<none>");
}

TEST(CmnReadLine, LineEndsAndEndOfInput) {
    MessageCapture capture;
    InputFile in("first\r\nsecond\nlast");
    EXPECT_EQ(ReadLine(in.get()), "first\n");
    EXPECT_EQ(ReadLine(in.get()), "second\n");
    EXPECT_EQ(ReadLine(in.get()), "last");
    EXPECT_EQ(ReadLine(in.get()), "<none>");
    EXPECT_EQ(capture.Take(), "");
}

TEST(CmnReadLine, MissingArgumentsGiveNone) {
    InputFile in("x\n");
    char buffer[8];
    EXPECT_EQ(CMN_ReadLine(nullptr, 8, in.get()), nullptr);
    EXPECT_EQ(CMN_ReadLine(buffer, 0, in.get()), nullptr);
    EXPECT_EQ(CMN_ReadLine(buffer, 8, nullptr), nullptr);
}

TEST(CmnReadLine, OverlongLineIsCutAndTheRestSkipped) {
    MessageCapture capture;
    InputFile in(std::string(130, 'a') + "\nnext\n");
    EXPECT_EQ(ReadLine(in.get(), 121), std::string(120, 'a'));
    EXPECT_EQ(ReadLine(in.get(), 121), "next\n");
    // Room for exactly the characters: the line feed is dropped.
    InputFile exact("abc\nz\n");
    EXPECT_EQ(ReadLine(exact.get(), 4), "abc");
    EXPECT_EQ(ReadLine(exact.get(), 4), "z\n");
    // Size 1 holds no character; the line is still consumed.
    InputFile tiny("abc\nz\n");
    EXPECT_EQ(ReadLine(tiny.get(), 1), "");
    EXPECT_EQ(ReadLine(tiny.get(), 1), "");
    EXPECT_EQ(ReadLine(tiny.get(), 1), "<none>");
    EXPECT_EQ(capture.Take(), "");
}

TEST(CmnReadLine, IllegalCharactersBecomeSpaces) {
    MessageCapture capture;
    MSG_SetCurrentLine(9);
    InputFile in(std::string("caf\xE9\n") + "a\rb\n" + std::string("n\0l\n", 4) + "x\x1Ay\n" + "\x7F\tok\n");
    EXPECT_EQ(ReadLine(in.get()), "caf \n");
    EXPECT_EQ(capture.Take(),
              "ERROR (line    9) -\n    Found illegal non-7-bit ASCII character (code e9).  Converting to space.\n");
    EXPECT_EQ(ReadLine(in.get()), "a b\n");
    EXPECT_EQ(capture.Take(), "ERROR (line    9) -\n    Found illegal control character (code d).  Converting to space.\n");
    EXPECT_EQ(ReadLine(in.get()), "n l\n");
    EXPECT_EQ(capture.Take(), "ERROR (line    9) - Found illegal NUL character (code 0).  Converting to space.\n");
    EXPECT_EQ(ReadLine(in.get()), "x y\n");
    EXPECT_EQ(capture.Take(), "ERROR (line    9) -\n    Found illegal control character (code 1a).  Converting to space.\n");
    EXPECT_EQ(ReadLine(in.get()), "\x7F\tok\n");  // DEL and tab are kept
    EXPECT_EQ(capture.Take(), "");
}

TEST(CmnReadLine, IllegalCharacterBeyondTheRoomIsReportedNotConverted) {
    MessageCapture capture;
    InputFile in("abc\xE9\n");
    EXPECT_EQ(ReadLine(in.get(), 4), "abc");
    EXPECT_EQ(capture.Take(), "ERROR (line    0) - Found illegal non-7-bit ASCII character (code e9).\n");
}

TEST(CmnReadLine, FinalCtrlZIsDropped) {
    MessageCapture capture;
    InputFile in("end\n\x1A");
    EXPECT_EQ(ReadLine(in.get()), "end\n");
    EXPECT_EQ(ReadLine(in.get()), "");  // the Ctrl-Z line holds nothing
    EXPECT_EQ(ReadLine(in.get()), "<none>");
    EXPECT_EQ(capture.Take(), "");
}

TEST(CmnReadLine, KeepSwitchStoresIllegalCharactersSilently) {
    MessageCapture capture;
    EXPECT_EQ(CMN_KeepIllegalChars(1), 1);
    InputFile in("caf\xE9\r\n");
    EXPECT_EQ(ReadLine(in.get()), "caf\xE9\n");
    EXPECT_EQ(CMN_KeepIllegalChars(0), 0);
    EXPECT_EQ(capture.Take(), "");
}

TEST(CmnReadWholeLine, LongLinesGrowTheBuffer) {
    MessageCapture capture;
    const std::string longLine(100000, 'q');
    InputFile in(longLine + "\r\n" + "b\xE9" + "\n" + "tail");
    size_t length = 0;
    char* line = CMN_ReadWholeLine(&length, in.get());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(std::string(line), longLine + "\n");
    EXPECT_EQ(length, longLine.size() + 2);
    CMN_Free(line);

    line = CMN_ReadWholeLine(&length, in.get());
    ASSERT_NE(line, nullptr);
    EXPECT_STREQ(line, "b \n");
    EXPECT_EQ(length, 4u);
    CMN_Free(line);
    EXPECT_EQ(capture.Take(),
              "ERROR (line    0) -\n    Found illegal non-7-bit ASCII character (code e9).  Converting to space.\n");

    line = CMN_ReadWholeLine(&length, in.get());
    ASSERT_NE(line, nullptr);
    EXPECT_STREQ(line, "tail");
    EXPECT_EQ(length, 5u);
    CMN_Free(line);
    EXPECT_EQ(CMN_ReadWholeLine(&length, in.get()), nullptr);
}

TEST(CmnReadWholeLine, EmptyLine) {
    InputFile in("\n");
    size_t length = 99;
    char* line = CMN_ReadWholeLine(&length, in.get());
    ASSERT_NE(line, nullptr);
    EXPECT_STREQ(line, "\n");
    EXPECT_EQ(length, 2u);
    CMN_Free(line);
}

// Everything CMN_ReadLine reads, its messages included, read again by the
// block reader: lines of every length around the room and the block size,
// every kind of illegal character, carriage returns and Ctrl-Z placed at
// the edges of lines and of blocks.
TEST(CmnLineReader, GivesTheLinesAndMessagesOfCmnReadLine) {
    std::mt19937 random(7);
    const char specials[] = {'\r', '\n', '\0', '\x1a', '\xe9', '\x7f', '\x01', '\t', '\x80', '\xff'};
    std::string bytes;
    while (bytes.size() < 300000) {
        const unsigned pick = random() % 100;
        if (pick < 3) {
            bytes += std::string(60000 + random() % 10000, 'x');  // runs across block edges
        } else if (pick < 25) {
            bytes += specials[random() % sizeof specials];
        } else if (pick < 35) {
            bytes += "\r\n";
        } else {
            bytes += std::string(1 + random() % 150, static_cast<char>('a' + random() % 26));
        }
    }
    for (const std::string& input : {bytes, bytes + "\x1a", bytes + "\r", std::string("\x1a"), std::string()}) {
        for (const size_t size : {size_t{1}, size_t{2}, size_t{121}, size_t{100000}}) {
            MessageCapture capture;
            std::vector<std::string> expected;
            {
                InputFile in(input);
                std::string buffer(size, '#');
                for (unsigned long line = 1;; ++line) {
                    MSG_SetCurrentLine(line);
                    if (CMN_ReadLine(buffer.data(), size, in.get()) == nullptr) break;
                    expected.emplace_back(buffer.c_str());
                }
            }
            const std::string expectedMessages = capture.Take();
            std::vector<std::string> read;
            {
                InputFile in(input);
                CMN_LineReader reader(in.get());
                std::string buffer(size, '#');
                for (unsigned long line = 1;; ++line) {
                    MSG_SetCurrentLine(line);
                    if (reader.ReadLine(buffer.data(), size) == nullptr) break;
                    read.emplace_back(buffer.c_str());
                }
            }
            EXPECT_EQ(read, expected) << "room " << size << ", input of " << input.size() << " bytes";
            EXPECT_EQ(capture.Take(), expectedMessages) << "room " << size;
        }
    }
}

}  // namespace

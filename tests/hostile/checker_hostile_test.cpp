// The checker on files nobody should write: noise, NUL bytes, lines of
// megabytes, keywords of thousands of characters, tens of thousands of
// sections, hundreds of thousands of rows, .ami texts nested a hundred
// thousand deep, and names that are directories or nothing at all. Whatever
// it reads, it reports what it finds and ends with its verdict; it never
// crashes, hangs or stops through an internal check (any of which ends this
// test program). Inputs are made at run time.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "checker_run.h"
#include "ibis_text.h"

namespace {

using hostile::CheckContent;
using hostile::CheckReport;
using hostile::Header;
using hostile::Repeat;

const char* const kKinds[] = {"ibs", "pkg", "ebd", "ami"};

// The report ends with the verdict; on failure the end of what it printed.
void ExpectVerdict(const CheckReport& report) {
    const std::size_t tail = report.text.size() > 2000 ? report.text.size() - 2000 : 0;
    EXPECT_TRUE(report.EndsWithVerdict()) << report.text.substr(tail);
}

TEST(HostileChecker, RandomBytesOfEveryKind) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        for (const char* kind : kKinds) {
            SCOPED_TRACE(std::string(kind) + " seed " + std::to_string(seed));
            const std::string noise = hostile::RandomBytes(48 * 1024, seed);
            const CheckReport raw = CheckContent(std::string("noise.") + kind, noise);
            ExpectVerdict(raw);
            EXPECT_FALSE(raw.passed);
            // After a good first line the whole file is read as IBIS text.
            const CheckReport read = CheckContent(std::string("noise.") + kind, "[IBIS Ver] 5.0\n" + noise);
            ExpectVerdict(read);
            EXPECT_GT(read.LinesHolding("Found illegal"), 100);
        }
    }
}

TEST(HostileChecker, WordSoupOfEveryKindAndVersion) {
    // Real keywords and sub-parameters in random order reach the section
    // handlers and their closing checks, where raw noise rarely gets.
    unsigned seed = 100;
    for (const char* version : {"2.1", "3.2", "4.2", "5.0"}) {
        for (const char* kind : kKinds) {
            SCOPED_TRACE(std::string(kind) + " " + version);
            const std::string name = std::string("soup.") + kind;
            ExpectVerdict(CheckContent(name, Header(name, version) + hostile::WordSoup(3000, ++seed)));
        }
    }
}

TEST(HostileChecker, NulBytesAnywhere) {
    const std::string nul(1, '\0');
    const std::string text = Header("nul.ibs") + "[Comp" + nul + "onent] Chip" + nul + "\n" + nul + "[Model] m" + nul +
                             "\nModel_type " + nul + "Input\n" + std::string(10000, '\0') + "\n[Pulldown]\n0 " + nul +
                             " 1 2\n[End]" + nul + "\n";
    const CheckReport report = CheckContent("nul.ibs", text);
    ExpectVerdict(report);
    EXPECT_GE(report.LinesHolding("Found illegal NUL character (code 0)"), 10);
    EXPECT_FALSE(report.passed);

    const CheckReport ami =
        CheckContent("nul.ami", "(korvan_tx" + nul + " (Usage " + nul + "In)\n" + nul + nul + ")\n");
    ExpectVerdict(ami);
    EXPECT_EQ(ami.LinesHolding("Found illegal NUL character"), 4);

    // A file of nothing but NUL bytes has no version to read.
    ExpectVerdict(CheckContent("zeros.ibs", std::string(1 << 16, '\0')));
}

TEST(HostileChecker, LinesOfSeveralMegabytes) {
    const std::string huge(4 << 20, 'x');
    const std::string blanks(4 << 20, ' ');
    const std::string text = Header("long.ibs") + "[Notes] " + huge + "\n" + blanks + "y\n" + "| " + huge + "\n" +
                             "[Model] " + huge + "\n[" + huge + "]\n" + huge + "\n[End]\n";
    const CheckReport report = CheckContent("long.ibs", text);
    ExpectVerdict(report);
    EXPECT_EQ(report.LinesHolding("Exceeds 120 chararacters."), 6);

    // An .ami file has no line limit: one line of megabytes is one text, and
    // a Description line of that length is reported once.
    const CheckReport ami = CheckContent(
        "long.ami", "(korvan_tx\n (Description \"" + huge + "\")\n (x " + blanks + "1)" + blanks + ")" + blanks);
    ExpectVerdict(ami);
    EXPECT_EQ(ami.LinesHolding("is greater than 120 characters"), 1);

    // No line end at all.
    ExpectVerdict(CheckContent("oneline.ibs", "[IBIS Ver] 4.2 " + huge));
}

TEST(HostileChecker, KeywordsOfThousandsOfCharacters) {
    const std::string text = Header("kw.ibs") + "[" + std::string(3000, 'K') + "]\n" + "[" + std::string(900, 'K') +
                             "]\n" + "[Model" + std::string(3000, ' ') + "]\n" + "[" + std::string(5000, ' ') + "]\n" +
                             "[Notes" + std::string(900, '_') + "]\n" + "[" + std::string(2000, '[') + "\n" +
                             "[Comment Char] " + std::string(3000, '#') + "\n" + "[Model] " + std::string(1000, 'm') +
                             "\nModel_type Input\n" + std::string(1000, 'V') + " = 1\n" + "[Component] " +
                             std::string(1000, 'c') + "\n[End]\n";
    const CheckReport report = CheckContent("kw.ibs", text);
    ExpectVerdict(report);
    EXPECT_GE(report.LinesHolding("Invalid Keyword"), 2);
    EXPECT_GE(report.LinesHolding("Keyword Missing Ending Bracket"), 1);
}

TEST(HostileChecker, TensOfThousandsOfSections) {
    constexpr int kSections = 30000;
    std::string models;
    for (int i = 0; i < kSections; ++i) models += hostile::InputModel("m" + std::to_string(i));
    ExpectVerdict(CheckContent("many.ibs", Header("many.ibs") + hostile::Component() + models + "[End]\n"));
    ExpectVerdict(CheckContent("headers.ibs", Repeat(Header("headers.ibs") + "[Disclaimer] d\n", kSections)));
    ExpectVerdict(CheckContent("empty.ibs", Header("empty.ibs") + Repeat("[Model]\n", kSections)));
}

TEST(HostileChecker, TenThousandSectionsOfOneName) {
    // Kept to ten thousand: each model of a name already used is looked up
    // among all of its namesakes, which costs time in proportion to their
    // number (four seconds for forty thousand in an optimised build).
    const std::string twins = Repeat(hostile::InputModel("twin"), 10000);
    ExpectVerdict(CheckContent("twins.ibs", Header("twins.ibs") + hostile::Component() + twins + "[End]\n"));
}

TEST(HostileChecker, TwoHundredThousandTableRows) {
    constexpr int kRows = 200000;
    std::string rows;
    rows.reserve(kRows * 24);
    for (int i = 0; i < kRows; ++i) rows += std::to_string(i) + "m 0.01 0.01 0.01\n";
    const std::string iv = Header("rows.ibs") + hostile::Component() + hostile::OutputModel("buf") + "[Pulldown]\n" +
                           rows + "[End]\n";
    const CheckReport report = CheckContent("rows.ibs", iv);
    ExpectVerdict(report);
    EXPECT_EQ(report.LinesHolding("More Than 100 Voltage Points Provided For Pulldown"), 1);

    // A [Notes] text of as many lines is kept whole; adding each line once
    // cost time in proportion to the text so far.
    ExpectVerdict(CheckContent("notes.ibs", Header("notes.ibs") + "[Notes] start\n" + Repeat("note line\n", kRows)));
}

TEST(HostileChecker, AmiTextsNestedAndQuotedBeyondReason) {
    constexpr std::size_t kDepth = 100000;
    const std::string deep = Repeat("(r ", kDepth) + "(a 1)" + Repeat(")", kDepth) + "\n";
    ExpectVerdict(CheckContent("deep.ami", deep));
    ExpectVerdict(CheckContent("deep_lines.ami", Repeat("(\n", kDepth) + "(a 1)\n" + Repeat(")\n", kDepth)));
    ExpectVerdict(CheckContent("unbalanced.ami", Repeat("(r ", kDepth)));
    ExpectVerdict(CheckContent("closing.ami", Repeat(")", kDepth)));
    ExpectVerdict(CheckContent("quote.ami", "(korvan_tx (Description \"never closed\n" + Repeat("(x \"1)\n", kDepth)));
    ExpectVerdict(CheckContent("quotes.ami", "(korvan_tx " + Repeat("\"", kDepth) + ")"));
    // Two hundred thousand short lines are gathered into one text.
    ExpectVerdict(CheckContent("lines.ami", "(korvan_tx\n" + Repeat("(p 1)\n", 2 * kDepth) + ")\n"));
}

TEST(HostileChecker, NamesThatAreNoFileToRead) {
    const std::string folder = hostile::ScratchFolder();
    for (const char* kind : kKinds) {
        SCOPED_TRACE(kind);
        const std::string directory = folder + "folder." + kind;
        std::filesystem::create_directories(directory);
        const CheckReport on_directory = hostile::CheckPath(directory);
        ExpectVerdict(on_directory);
        EXPECT_FALSE(on_directory.passed);
        std::filesystem::remove(directory);

        const CheckReport missing = hostile::CheckPath(folder + "missing." + kind);
        ExpectVerdict(missing);
        EXPECT_FALSE(missing.passed);
    }
    // A device that never ends its input: refused like a directory rather
    // than read for ever.
    const std::string device = folder + "zeros.ibs";
    std::filesystem::create_symlink("/dev/zero", device);
    const CheckReport on_device = hostile::CheckPath(device);
    ExpectVerdict(on_device);
    EXPECT_FALSE(on_device.passed);
    std::filesystem::remove(device);

    ExpectVerdict(hostile::CheckPath(folder + std::string(3000, 'n') + ".ibs"));
    ExpectVerdict(hostile::CheckPath(""));
    ExpectVerdict(hostile::CheckPath(folder));
    ExpectVerdict(CheckContent("nothing.ibs", ""));
    ExpectVerdict(CheckContent("nothing.ami", ""));
}

}  // namespace

namespace {

// Inputs the fuzzer found stopping the checker, each once a fault; the first
// byte of a fuzzer input (the kind) is dropped and the kind is in the name.
TEST(HostileChecker, InputsTheFuzzerFound) {
    const struct {
        const char* name;
        const char* text;
    } found[] = {
        // An [External Circuit] whose own line holds the next keyword: its
        // release handed a part never allocated to the checked free, whose
        // internal check ended the process.
        {"circuit.ibs",
         "[IBIS Ver]      5.0\n[File Name]     korvan_tx.ibs\n[F]          December 3, 2026\n"
         "[Solarity        Non-In  0.45pF\n|\n[T 0.49762 49737\n  237.050000     0.49762     0.49737\n"
         "  2449737\n|\n[External Circuit][End]\n"},
    };
    for (const auto& input : found) {
        SCOPED_TRACE(input.name);
        ExpectVerdict(CheckContent(input.name, input.text));
    }
}

}  // namespace

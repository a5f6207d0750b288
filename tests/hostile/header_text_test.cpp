// Header texts of a hundred thousand lines ([Notes], [Disclaimer] and the
// rest) grow in place: once they were measured and copied whole for every
// line added, which took minutes for a text of this size. The text must
// still come out exactly as written, line feeds between lines.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "checker_run.h"
#include "ibis_text.h"

namespace {

TEST(HeaderTexts, HundredThousandLinesAreKeptWhole) {
    constexpr int kLines = 100000;
    std::string notes = "first";
    std::string body;
    for (int i = 0; i < kLines; ++i) {
        const std::string line = "note " + std::to_string(i);
        notes += "\n" + line;
        body += line + "\n";
    }
    const std::string text = hostile::Header("texts.ibs") + "[Notes] first\n" + body +
                             "[Disclaimer] one\n[Disclaimer] two\nthree\n[Source]\nsource line\n" +
                             "[Copyright] " + std::string(1000, 'c') + "\n" + hostile::Component() + "[End]\n";
    const std::string path = hostile::ScratchFolder() + "texts.ibs";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);

    std::FILE* report = std::tmpfile();
    ASSERT_NE(report, nullptr);
    MSG_SetOutput(report);
    PARSE_Reset();
    ASSERT_EQ(IBIS_New(), 1);
    ASSERT_EQ(PARSE_ReadFile(path.c_str(), PARSE_KIND_IBS), 1);
    IBIS* ibis = nullptr;
    ASSERT_EQ(IBIS_Current(&ibis), 1);
    const HDR* header = IBIS_GetHeaders(ibis);
    ASSERT_NE(header, nullptr);
    ASSERT_NE(HDR_GetNotes(header), nullptr);
    EXPECT_EQ(std::string(HDR_GetNotes(header)), notes);
    EXPECT_STREQ(HDR_GetDisclaimer(header), "one\ntwo\nthree");
    // An empty first value leaves the text unstarted; the next line starts it.
    EXPECT_STREQ(HDR_GetSource(header), "source line");
    EXPECT_EQ(std::string(HDR_GetCopyright(header)), std::string(1000, 'c'));
    IBIS_End();
    MSG_SetOutput(nullptr);
    std::fclose(report);
    std::remove(path.c_str());
}

}  // namespace

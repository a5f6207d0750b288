// The pictures of a link run: well-formed SVG with the measured figures
// marked, and headings that fit however long the title.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tools/amisim/channel/channel.h"
#include "tools/amisim/models/link_model.h"
#include "tools/amisim/flows/link_run.h"
#include "tools/amisim/reports/pictures.h"
#include "tools/amisim/reports/svg_plot.h"

using namespace amisim;

namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

TEST(Pictures, LongHeadingsShrinkThenWrapWithinThePicture) {
    const svg::FittedText short_title = svg::FitText("korvan_tx.so: PRBS7", 800, 16, 11, 2);
    EXPECT_EQ(short_title.lines.size(), 1u);
    EXPECT_EQ(short_title.size, 16);
    const std::string long_text(60, 'x');
    const svg::FittedText shrunk = svg::FitText(long_text + " " + long_text, 800, 16, 11, 2);
    EXPECT_EQ(shrunk.lines.size(), 1u);
    EXPECT_LT(shrunk.size, 16);
    std::string words;
    for (int i = 0; i < 60; ++i) words += "parameter" + std::to_string(i) + " ";
    const svg::FittedText wrapped = svg::FitText(words, 800, 16, 11, 2);
    ASSERT_EQ(wrapped.lines.size(), 2u);
    EXPECT_EQ(wrapped.size, 11);
    EXPECT_EQ(wrapped.lines[1].substr(wrapped.lines[1].size() - 3), "...");
    for (const std::string& line : wrapped.lines) EXPECT_LE(0.56 * 11 * static_cast<double>(line.size()), 800.0);
}

TEST(Pictures, EveryPictureMarksItsFigures) {
    const LinkModel tx = LoadLinkModel({"Tx", AMISIM_PASSTHROUGH_MODEL, "", "", "passthrough", {}});
    LinkSettings settings;
    settings.bits = 1500;
    const Channel channel = LineChannel(LineParameters{0.3, 5.0, 4.0, 0.02}, settings.sample_interval());
    const LinkRun run = RunLink(tx, nullptr, channel, settings, {}, {}, [](const std::string&) {});
    const std::string title = "passthrough -> lossy line <0.3 m> & more";
    std::ostringstream eye, stat, tub, pulse;
    WriteTimeDomainEyeSvg(eye, run, title, run.tx_parameters);
    WriteStatEyeSvg(stat, run, title);
    WriteBathtubSvg(tub, run, title);
    WritePulseSvg(pulse, run, title);
    for (const std::string& svg : {eye.str(), stat.str(), tub.str(), pulse.str()}) {
        EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
        EXPECT_EQ(Count(svg, "<svg"), 1u);
        EXPECT_NE(svg.find("</svg>\n"), std::string::npos);
        EXPECT_NE(svg.find("&lt;0.3 m&gt; &amp; more"), std::string::npos);  // escaped title
        EXPECT_EQ(svg.find("nan"), std::string::npos);
        EXPECT_EQ(svg.find("inf"), std::string::npos);
    }
    EXPECT_NE(stat.str().find("BER 1e-12"), std::string::npos);
    EXPECT_NE(stat.str().find("height "), std::string::npos);
    EXPECT_NE(tub.str().find("width "), std::string::npos);
    EXPECT_NE(tub.str().find(">1e-12<"), std::string::npos);
    EXPECT_NE(pulse.str().find(">main "), std::string::npos);
    EXPECT_NE(pulse.str().find(">post1 "), std::string::npos);
    EXPECT_NE(eye.str().find("Time (UI)"), std::string::npos);
}

}  // namespace

// The PLUGIN tag: extension bindings, archive extractor order, errors 2 and 3.
#include "stage/plugin_tag.h"

#include <gtest/gtest.h>

#include "picture_test_support.h"
#include "script/keywords.h"
#include "script/messages.h"

namespace talu::stage {
namespace {

namespace kw = script::kw;

class PluginTag : public ::testing::Test {
  protected:
    void Run(std::initializer_list<std::pair<int, std::string_view>> attributes) {
        script::TagRecord record;
        record.SetCommand(kw::kPlugin);
        for (const auto& [id, value] : attributes) {
            record.AddAttribute(id, value);
        }
        BindExtension(record, PluginTagContext{extensions_, plugins_, &diagnostics_, " PLUGIN"});
    }

    ExtensionMap extensions_;
    PluginList plugins_;
    testing::RecordingBoxes boxes_;
    script::Diagnostics diagnostics_{boxes_, script::kLangEnglish};
};

TEST_F(PluginTag, BindsTheUpperCasedExtensionToTheUpperCasedNameLaterTagsReplacing) {
    Run({{kw::kSrc, "png"}, {kw::kName, "ifPng.spi"}});
    EXPECT_EQ(extensions_.Find("PNG"), "IFPNG.SPI");
    EXPECT_FALSE(extensions_.Find("png"));
    Run({{kw::kSrc, "Png"}, {kw::kName, "IFPNG2.SPI"}});
    EXPECT_EQ(extensions_.Find("PNG"), "IFPNG2.SPI");
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(PluginTag, ReportsMissingAttributesAndGoesOn) {
    Run({{kw::kName, "IFPNG.SPI"}});
    Run({{kw::kSrc, "GIF"}});
    ASSERT_EQ(boxes_.boxes.size(), 2u);
    EXPECT_EQ(boxes_.boxes[0], "Syntax Error. PLUGIN\n\nSRC attribute is not found.");
    EXPECT_EQ(boxes_.boxes[1], "Syntax Error. PLUGIN\n\nNAME attribute is not found.");
    EXPECT_EQ(extensions_.Find(""), "IFPNG.SPI");
    EXPECT_EQ(extensions_.Find("GIF"), "");
}

// Only archive extractor names starting with "AX" move to the front.
TEST_F(PluginTag, PutsTheNamedArchiveExtractorFirst) {
    for (const char* name : {"LHA.SPI", "AXLHA.SPI", "AXZIP.SPI"}) {
        plugins_.AddToFront(std::make_unique<testing::FakeArchivePlugin>(name));
    }
    Run({{kw::kSrc, "lzh"}, {kw::kName, "lha.spi"}});
    EXPECT_EQ(plugins_.Plugins().front()->FileName(), "AXZIP.SPI");
    Run({{kw::kSrc, "lzh"}, {kw::kName, "axlha.spi"}});
    EXPECT_EQ(plugins_.Plugins().front()->FileName(), "AXLHA.SPI");
    EXPECT_EQ(extensions_.Find("LZH"), "AXLHA.SPI");
}

}  // namespace
}  // namespace talu::stage

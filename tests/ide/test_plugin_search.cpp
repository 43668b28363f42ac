// The order of the places the plug-in manager library is looked for.
#include "cPluginInterface.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using vmg::ide::PluginLibraryCandidates;
namespace fs = std::filesystem;

TEST(PluginSearch, BesideTheProgramThenItsPrivateFolderThenTheSystem) {
    const std::string name = "libqvPluginMgr.so";
    struct Case {
        std::string folder;
        std::string beside;
    };
    for (const Case& c : std::vector<Case>{{"/usr/bin", "/usr/bin/" + name},
                                           {"/home/u/.local/bin", "/home/u/.local/bin/" + name},
                                           {"/", "/" + name}}) {
        const auto found = PluginLibraryCandidates(c.folder);
        ASSERT_EQ(found.size(), 3U) << c.folder;
        EXPECT_EQ(found[0], c.beside);
        EXPECT_EQ(found[2], name) << "the bare name comes last, for the system's search";
        // The private folder is a different folder, reached from the program's own.
        const fs::path privateLib(found[1]);
        EXPECT_EQ(privateLib.filename(), name);
        EXPECT_EQ(found[1].rfind(c.folder, 0), 0U) << found[1];
        EXPECT_NE(privateLib.lexically_normal().parent_path(), fs::path(c.folder)) << found[1];
        EXPECT_EQ(found[1].find("//"), std::string::npos) << found[1];
    }
}

TEST(PluginSearch, WithoutAProgramFolderOnlyTheSystemIsSearched) {
    EXPECT_EQ(PluginLibraryCandidates(""), std::vector<std::string>{"libqvPluginMgr.so"});
}

// The folder the user named for the IDE comes after the program's own places and before the
// system's search; a root folder gets no second separator.
TEST(PluginSearch, TheIdeFolderComesBeforeTheSystem) {
    const std::string name = "libqvPluginMgr.so";
    struct Case {
        std::string program;
        std::string ide;
        std::vector<std::string> expectedTail;
    };
    for (const Case& c :
         std::vector<Case>{{"/usr/bin", "/opt/Vorlan IDE", {"/opt/Vorlan IDE/" + name, name}},
                           {"", "/opt/vorlan/", {"/opt/vorlan/" + name, name}},
                           {"/usr/bin", "", {name}}}) {
        const auto found = PluginLibraryCandidates(c.program, c.ide);
        ASSERT_GE(found.size(), c.expectedTail.size()) << c.ide;
        EXPECT_EQ(std::vector<std::string>(found.end() - static_cast<long>(c.expectedTail.size()),
                                           found.end()),
                  c.expectedTail)
            << c.ide;
        EXPECT_EQ(found.size(), c.expectedTail.size() + (c.program.empty() ? 0U : 2U)) << c.ide;
    }
}

} // namespace

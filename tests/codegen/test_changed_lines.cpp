// The changed-line marks of the live preview: exact marks for small edits, and for single
// answers changed on a real macro, marks that cover every change and nothing else.
#include "ChangedLines.h"
#include "MacroCodeGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string_view>

namespace vmg::codegen {
namespace {

using Marks = std::vector<std::size_t>;

TEST(ChangedLinesTest, MarksTheAddedAndAlteredLinesOnly) {
    struct Case {
        const char* what;
        Lines before;
        Lines after;
        Marks marks;
    };
    const std::vector<Case> cases = {
        {"same", {"a", "b"}, {"a", "b"}, {}},
        {"from nothing", {}, {"a", "b"}, {0, 1}},
        {"to nothing", {"a"}, {}, {}},
        {"inserted at the front", {"a", "b"}, {"x", "a", "b"}, {0}},
        {"inserted in the middle", {"a", "b", "c"}, {"a", "x", "y", "b", "c"}, {1, 2}},
        {"appended", {"a", "b"}, {"a", "b", "x"}, {2}},
        {"removed only", {"a", "b", "c"}, {"a", "c"}, {}},
        {"altered", {"a", "b", "c"}, {"a", "B", "c"}, {1}},
        {"two apart", {"a", "b", "c", "d", "e"}, {"A", "b", "c", "D", "e"}, {0, 3}},
        // A repeated line is matched once; its copy is the new one.
        {"repeated", {"#ENDIF", "x"}, {"#ENDIF", "#ENDIF", "x"}, {1}},
        {"swapped", {"a", "b"}, {"b", "a"}, {1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChangedLines(c.before, c.after), c.marks) << c.what;
    }
}

MacroDefinition ThreeParams() {
    MacroDefinition def;
    def.Header = {"AddNums", 1, 0, false, "Adds numbers\r\nsecond line", 3};
    def.Params[0] = {"First", 2, "ArgA", false, false};
    def.Params[1] = {"Second", 3, "ArgB", false, false};
    def.Params[2] = {"Third", 4, "ArgC", false, false};
    def.Return.SubName = "AddSub";
    def.Return.UseGoSub = true;
    def.Return.RetArg = {"", 3, "Total", false, false};
    return def;
}

// Lines of `after` beyond those `before` already had, as a multiset: what any correct marking
// must mark at least, and a minimal one exactly when the change moved no line.
std::multiset<std::string> NewLines(const Lines& before, const Lines& after) {
    std::map<std::string, int> left;
    for (const auto& l : before) {
        ++left[l];
    }
    std::multiset<std::string> added;
    for (const auto& l : after) {
        if (left[l] > 0) {
            --left[l];
        } else {
            added.insert(l);
        }
    }
    return added;
}

TEST(ChangedLinesTest, ASingleAnswerChangedMarksExactlyTheLinesItChanged) {
    struct Case {
        const char* what;
        std::function<void(MacroDefinition&, int&)> change;
    };
    const std::vector<Case> cases = {
        {"name", [](MacroDefinition& d, int&) { d.Header.MacroName = "SumNums"; }},
        {"return None", [](MacroDefinition& d, int&) { d.Header.ReturnMethod = 0; }},
        {"target 16 Bit", [](MacroDefinition& d, int&) { d.Header.Target = 2; }},
        {"skeleton", [](MacroDefinition& d, int&) { d.Header.Skeleton = true; }},
        {"last Optional", [](MacroDefinition& d, int&) { d.Params[2].Optional = true; }},
        {"Allow Alt", [](MacroDefinition& d, int&) { d.Params[1].AllowAlt = true; }},
        {"type", [](MacroDefinition& d, int&) { d.Params[0].DataType = 3; }},
        {"parameter added",
         [](MacroDefinition& d, int& n) {
             d.Params[3] = {"Fourth", 2, "ArgD", false, false};
             ++n;
         }},
        {"parameter removed", [](MacroDefinition&, int& n) { --n; }},
        {"GoTo",
         [](MacroDefinition& d, int&) {
             d.Header.ReturnMethod = 0;
             d.Return.UseGoSub = false;
             d.Return.UseGoTo = true;
         }},
        {"return variable", [](MacroDefinition& d, int&) { d.Return.RetArg.VarName = "Sum"; }},
    };
    const MacroDefinition base = ThreeParams();
    for (const Case& c : cases) {
        MacroDefinition def = base;
        int n = 3;
        c.change(def, n);
        for (const bool code : {true, false}) {
            const Lines before = code ? MacroLines(base, 3) : KeyBlock(base, 3);
            const Lines after = code ? MacroLines(def, n) : KeyBlock(def, n);
            const Marks marks = ChangedLines(before, after);
            // The unmarked lines, in order, are lines `before` had in that order ...
            std::size_t at = 0;
            for (std::size_t i = 0; i < after.size(); ++i) {
                if (std::binary_search(marks.begin(), marks.end(), i)) {
                    continue;
                }
                while (at < before.size() && before[at] != after[i]) {
                    ++at;
                }
                ASSERT_LT(at, before.size()) << c.what << ": unmarked line " << i << " is new";
                ++at;
            }
            // ... and the marked ones are the new lines, no more (a new type's checks reuse
            // lines such as #ENDIF in new places, which only a longest run can tell).
            if (std::string_view(c.what) == "type") {
                continue;
            }
            std::multiset<std::string> marked;
            for (const std::size_t i : marks) {
                marked.insert(after[i]);
            }
            EXPECT_EQ(marked, NewLines(before, after)) << c.what << (code ? " (code)" : " (hint)");
        }
    }
}

} // namespace
} // namespace vmg::codegen

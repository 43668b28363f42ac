// Upgrading a code file's macros in place: exactly the importable macros with other text are
// rewritten, a second run changes nothing, and the file is replaced only as it was read.
#include "MacroImport.h"
#include "RandomDefinitions.h"
#include "Upgrade.h"
#include "WorkedExamples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

using namespace vmg;
using namespace vmg::upgrade;
using codegen::MacroLines;

namespace {

std::string joined(const codegen::Lines& lines, const std::string& eol) {
    std::string out;
    for (const auto& l : lines) {
        out += l + eol;
    }
    return out;
}

void replaceAll(std::string& s, std::string_view from, std::string_view to) {
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at)) {
        s.replace(at, from.size(), to);
        at += to.size();
    }
}

// What the tests do to a macro's text before putting it into a file.
enum class Shape { Current, OldBounds, Editor, HandEdited };

codegen::Lines shaped(const codegen::MacroDefinition& d, Shape shape) {
    const int n = d.Header.ArgCount;
    codegen::Lines lines = MacroLines(d, n);
    const std::size_t header =
        lines.size() -
        static_cast<std::size_t>(
            std::count_if(lines.begin(), lines.end(), [](auto& l) { return !l.starts_with("'"); }));
    for (std::string& l : lines) {
        if (shape == Shape::OldBounds && l == "#IF (PRM_COUNT > " + std::to_string(n + 1) + ")") {
            l = "#IF (PRM_COUNT > " + std::to_string(n - 1) + ")";
        } else if (shape == Shape::OldBounds && l.starts_with("\t#IF (PRM_COUNT < ")) {
            l = "\t#IF (PRM_COUNT < " + std::to_string(std::stoi(l.substr(18)) + 1) + ")";
        } else if (shape == Shape::Editor && !l.starts_with("'")) {
            replaceAll(l, "\t", "  ");
            for (const char* w : {"#IF", "#ELSE", "#ENDIF", "ENDM", "GoSub", "MACRO"}) {
                std::string lower(w);
                std::ranges::transform(lower, lower.begin(), [](char c) {
                    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                });
                replaceAll(l, w, lower);
            }
        }
    }
    if (shape == Shape::HandEdited) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(header) + 1, "\tNOP ' by hand");
    }
    return lines;
}

} // namespace

// Random definitions in every shape, between other code, in each line end: the plan rewrites
// the current-less macros to the generator's text in the file's line ends, leaves the rest byte
// for byte, and a second plan changes nothing.
TEST(Upgrade, RoundTripOverRandomFiles) {
    std::mt19937 rng(27);
    const char* const eols[] = {"\r\n", "\n", "\r"};
    const int rounds = 60 / codegen::examples::kPropertyShare;
    int updated = 0, left = 0;
    for (int round = 0; round < rounds; ++round) {
        const std::string eol = eols[round % 3];
        std::string text = "Dim X As Byte" + eol, expected = text;
        std::vector<MacroState> states;
        for (int m = 0; m < 6; ++m) {
            auto d = codegen::examples::RandomDefinition(rng, {8, true, false});
            d.Header.MacroName =
                "M" + std::to_string(m); // names of their own: calls tell them apart
            auto shape = static_cast<Shape>(rng() % 4);
            if (shape == Shape::OldBounds &&
                (d.Header.ReturnMethod != 2 || d.Header.ArgCount == 0)) {
                shape = Shape::Current;
            }
            const codegen::Lines lines = shaped(d, shape);
            text += joined(lines, eol) + "Main" + std::to_string(m) + ":" + eol;
            const bool changes = shape == Shape::OldBounds || shape == Shape::Editor;
            expected += joined(changes ? MacroLines(d, d.Header.ArgCount) : lines, eol) + "Main" +
                        std::to_string(m) + ":" + eol;
            states.push_back(shape == Shape::HandEdited ? MacroState::Left
                             : changes                  ? MacroState::Updated
                                                        : MacroState::UpToDate);
        }
        text += "GoTo Main0";
        expected += "GoTo Main0";
        SCOPED_TRACE(text);
        const UpgradePlan plan = PlanUpgrade(text, {});
        ASSERT_TRUE(plan.Problem.empty()) << plan.Problem;
        ASSERT_EQ(plan.Macros.size(), states.size());
        for (std::size_t i = 0; i < states.size(); ++i) {
            EXPECT_EQ(plan.Macros[i].State, states[i]) << FormatReport(plan.Macros[i]);
            updated += states[i] == MacroState::Updated ? 1 : 0;
            left += states[i] == MacroState::Left ? 1 : 0;
        }
        EXPECT_EQ(plan.NewText, expected);
        EXPECT_EQ(plan.Changed, plan.NewText != text);
        const UpgradePlan again = PlanUpgrade(plan.NewText, {});
        EXPECT_FALSE(again.Changed);
        EXPECT_EQ(again.NewText, plan.NewText);
    }
    EXPECT_GT(updated, rounds);
    EXPECT_GT(left, rounds / 2);
}

// The report of a Parameter-return macro in the old bounds, with the calls in the file; the
// keyword block in the keyword text is regenerated, other bytes stay.
TEST(Upgrade, ReportsCountsCallsAndPutsTheKeyBlockBack) {
    const codegen::MacroDefinition d = codegen::examples::SetPtr();
    const std::string text = "Dim Buf As Word\nDim R As Byte\n" +
                             joined(shaped(d, Shape::OldBounds), "\n") +
                             "SetPtr Buf, 3, R ' full\nsetptr Buf, R : SetPtr Buf\n";
    std::string key = codegen::JoinCrLf(codegen::KeyBlock(d, 2));
    replaceAll(key, "DeviceCore", "devicecore");
    UpgradeOptions o;
    o.KeywordText = "KEY(\"Other\")\r\nENDKEY\r\n" + key;
    o.KeywordSource = "USER.MCD";
    const UpgradePlan plan = PlanUpgrade(text, o);
    ASSERT_EQ(plan.Macros.size(), 1u);
    // No call passes the earlier bounds; "SetPtr Buf" leaves PRM_2 without a value.
    EXPECT_EQ(FormatReport(plan.Macros[0]),
              "SetPtr (line 3): updated (old count bounds); calls in the file that pass: 0 of 3 "
              "before, 2 after");
    EXPECT_EQ(plan.NewKeywordText,
              "KEY(\"Other\")\r\nENDKEY\r\n" + codegen::JoinCrLf(codegen::KeyBlock(d, 2)));
    EXPECT_TRUE(plan.KeywordChanged);
    EXPECT_EQ(FormatTotal(plan.Macros), "1 updated, 0 up to date, 0 left as it is");

    o.Macro = "NoSuch";
    EXPECT_EQ(PlanUpgrade(text, o).Problem, "holds no macro NoSuch");
    EXPECT_FALSE(PlanUpgrade("{\\rtf1 SetPtr MACRO}", {}).Problem.empty());
    EXPECT_FALSE(PlanUpgrade("x = 1\r\n", {}).Problem.empty());
}

// The in-place edit: the old content goes to .bak only after the replace; a file that changes
// after it was read, a read-only file, a folder and a missing file are refused and left as they
// were; a plan with a problem writes nothing.
TEST(Upgrade, EditInPlaceReplacesOnlyWhatWasRead) {
    namespace fs = std::filesystem;
    using seam::EditStatus;
    const fs::path dir = fs::temp_directory_path() / ("vmg_upgrade_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const auto write = [&](const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    };
    const auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const auto to = [](std::string bytes) {
        return [bytes](std::string_view, bool) { return seam::EditPlan{false, bytes, {}}; };
    };
    const std::string code = write("Page.bas", "old");
    fs::permissions(code, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(seam::EditInPlace(code, to("new")).Status, EditStatus::Written);
    EXPECT_EQ(read(code), "new");
    EXPECT_EQ(read(code + ".bak"), "old");
#ifndef _WIN32 // Windows keeps a read-only flag only
    EXPECT_EQ(fs::status(code).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
    EXPECT_EQ(seam::EditInPlace(code, to("new")).Status, EditStatus::Unchanged);

    // Another program writes the file while the plan is made.
    const auto meanwhile = [&](std::string_view, bool) {
        std::ofstream(code, std::ios::binary) << "theirs, longer";
        return seam::EditPlan{false, "mine", {}};
    };
    EXPECT_EQ(seam::EditInPlace(code, meanwhile).Status, EditStatus::Changed);
    EXPECT_EQ(read(code), "theirs, longer");
    EXPECT_EQ(read(code + ".bak"), "old");

    const std::string locked = write("Locked.bas", "old");
    fs::permissions(locked, fs::perms::owner_read);
    EXPECT_EQ(seam::EditInPlace(locked, to("new")).Status, EditStatus::CannotWrite);
    EXPECT_EQ(read(locked), "old");
    EXPECT_FALSE(fs::exists(locked + ".bak"));

    fs::create_directories(dir / "Folder.bas");
    EXPECT_EQ(seam::EditInPlace((dir / "Folder.bas").string(), to("new")).Status,
              EditStatus::CannotRead);
    const FileUpgrade missing = UpgradeFile((dir / "Missing.bas").string(), {});
    EXPECT_EQ(missing.Edit.Status, EditStatus::CannotRead);
    EXPECT_FALSE(fs::exists(dir / "Missing.bas"));
    const FileUpgrade none = UpgradeFile(write("None.bas", "x = 1\r\n"), {});
    EXPECT_EQ(none.Edit.Status, EditStatus::Refused);
    EXPECT_FALSE(fs::exists(dir / "None.bas.bak"));
    fs::permissions(locked, fs::perms::owner_all);
    fs::remove_all(dir);
}

// Writing a macro back: in place of the lines it was read from, in their line ends; the text as
// it is when the new lines are there already; refused when the old lines have moved or changed.
TEST(Upgrade, WriteBackTakesOnlyTheLinesItWasReadFrom) {
    const std::string text = "a\nOld MACRO\n\tx\nENDM\nb";
    const MacroOrigin origin = OriginOf(text, 2, 2, 4, "Old");
    EXPECT_EQ(origin.Lines, "Old MACRO\n\tx\nENDM\n");
    const struct {
        const char* what;
        std::string current;
        std::optional<std::string> result;
    } cases[] = {
        {"in place", text, "a\nNew MACRO\nENDM\nb"},
        {"written already", "a\nNew MACRO\nENDM\nb", "a\nNew MACRO\nENDM\nb"},
        {"other lines changed", "A\nOld MACRO\n\tx\nENDM\nB\nc", "A\nNew MACRO\nENDM\nB\nc"},
        {"a line added above", "z\na\nOld MACRO\n\tx\nENDM\nb", std::nullopt},
        {"a macro line edited", "a\nOld MACRO\n\ty\nENDM\nb", std::nullopt},
        {"the file cut short", "a\nOld MACRO\n", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string why;
        EXPECT_EQ(WriteBackText(c.current, origin, "New MACRO\r\nENDM\r\n", why), c.result);
        EXPECT_EQ(why.empty(), c.result.has_value()) << why;
    }
}

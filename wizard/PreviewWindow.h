// The Preview window: the macro and its keyword block as the answers would make them now,
// beside the main window while pages 1 to 3 are answered.
#pragma once

#include "HighlighterSettings.h"
#include "MacroCodeGenerator.h"

#include <QWidget>

#include <cstddef>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QTextDocument;
class QTextEdit;
class QVariantAnimation;

namespace vmg::wizard {

class PreviewWindow final : public QWidget {
    Q_OBJECT
public:
    // Reads the highlighter settings when it shows a text; owner is the main window.
    PreviewWindow(const richtext::HighlighterSettings& highlighter, QWidget* owner);

    // The code and keyword block of `draft` for `count` parameters, the lines that differ from
    // the last shown marked for a moment. A non-empty `refusal` (why the answers cannot be
    // generated) keeps the last good text, dimmed, under that one line; `note` is a line shown
    // above a text that is generated.
    void ShowDraft(const codegen::MacroDefinition& draft, int count, const QString& refusal,
                   const QString& note = {});
    // Shows the window where the user left it, else beside `owner` as the Check a Call window
    // goes, without taking the focus from the owner; a shown window is only raised.
    void ShowBeside(QWidget* owner);

    QTextEdit* CodeBox() const { return m_rtxtPreview; }
    QPlainTextEdit* HintBox() const { return m_memoPreviewHint; }
    QLabel* ReasonLine() const { return m_lblPreviewReason; }
    bool Dimmed() const;
    // The code lines (0-based) and keyword block lines the last change marked.
    const std::vector<std::size_t>& MarkedCodeLines() const { return m_markedCode; }
    const std::vector<std::size_t>& MarkedHintLines() const { return m_markedHint; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void SetDimmed(bool dimmed);
    // The tint of the marked lines at `strength` (1 full, 0 gone).
    void Tint(double strength);
    // Moves the changed lines of `fresh` (the whole new text, coloured) into the shown document;
    // false when it cannot (the shown document is then to be replaced whole).
    bool PatchShownCode(const QTextDocument& fresh, const codegen::Lines& code);
    // Brings the first marked code line into view when it is out of sight.
    void RevealFirstMark();

    const richtext::HighlighterSettings& m_highlighter;
    QLabel* m_lblPreviewReason = nullptr;
    QTextEdit* m_rtxtPreview = nullptr;
    QPlainTextEdit* m_memoPreviewHint = nullptr;
    // Sheets that grey the boxes while the answers cannot be generated.
    QWidget* m_codeVeil = nullptr;
    QWidget* m_hintVeil = nullptr;
    QVariantAnimation* m_fade = nullptr;

    bool m_shownOnce = false;
    bool m_hasText = false;
    codegen::Lines m_code;
    codegen::Lines m_hint;
    std::vector<std::size_t> m_markedCode;
    std::vector<std::size_t> m_markedHint;
};

} // namespace vmg::wizard

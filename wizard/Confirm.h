// The confirmation dialog fmConfirm: what Finish is about to do, with OK and Cancel.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace vmg::wizard {

inline constexpr int kConfirmWidth = 301;
inline constexpr int kConfirmHeight = 178;

class TfmConfirm final : public QDialog {
    Q_OBJECT
public:
    // `owner` is the window the dialog is centred on each time it is shown.
    explicit TfmConfirm(QWidget* owner = nullptr);

    // The summary shown in lblConfirm (write-only); CR LF and lone CR or LF break lines. A text
    // taller than the label grows the label and the dialog downwards, OK and Cancel with them;
    // a word wider than the label breaks where it must.
    void SetConfirmText(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The label's text with break chances in its over-long words (shortened in the middle to at
    // most `maxLines` lines each when maxLines > 0).
    QString Wrappable(const QString& lines, int maxLines) const;
    // The label's height for its text, at least the designed one.
    int LabelHeightFor(const QString& shown) const;
    void PlaceForLabelHeight(int height);

    QWidget* m_pnlButtons = nullptr;
    QLabel* m_imgIcon = nullptr;
    QLabel* m_lblConfirm = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

} // namespace vmg::wizard

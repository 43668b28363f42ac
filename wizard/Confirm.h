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

    // The summary shown in lblConfirm (write-only); CR LF and lone CR or LF break lines.
    void SetConfirmText(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_imgIcon = nullptr;
    QLabel* m_lblConfirm = nullptr;
    QPushButton* m_cmdOk = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

} // namespace vmg::wizard

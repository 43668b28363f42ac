// TBrowseForFolder: a non-visual component that lets the user choose a folder in Qt's own folder
// dialog and reports the dialog's selection and position through events.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QFileDialog;
class QWidget;

namespace vmg::wizard {

class TBrowseForFolder;
class FolderDialog;

// Raised when the selection changes. `path` is the selected folder or file (empty when the
// selection has none); `enableOk` comes in as true exactly when `path` names an existing folder,
// and what the handler leaves in it decides whether OK can be pressed.
using TOnSelChanged =
    std::function<void(TBrowseForFolder* sender, const QString& path, bool& enableOk)>;
// Raised once when the dialog opens, before it is shown in place: its screen position (which the
// handler may change) and its size.
using TOnSetPosition =
    std::function<void(TBrowseForFolder* sender, int& left, int& top, int width, int height)>;

class TBrowseForFolder : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Path READ Path WRITE SetPath)
    Q_PROPERTY(QString StatusText READ StatusText WRITE SetStatusText)
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(bool NewDialogStyle READ NewDialogStyle WRITE SetNewDialogStyle)
    Q_PROPERTY(bool EditBox READ EditBox WRITE SetEditBox)
public:
    // The dialog is owned by `owner`'s window when that is a widget, else by the active window.
    explicit TBrowseForFolder(QObject* owner = nullptr);
    ~TBrowseForFolder() override;

    // Before Execute the folder to start in (none when empty); after a successful Execute the
    // chosen folder, in the system's own separators.
    QString Path() const { return m_path; }
    void SetPath(const QString& path) { m_path = path; }
    // A line of text under the folder list; none when empty.
    QString StatusText() const { return m_statusText; }
    void SetStatusText(const QString& text) { m_statusText = text; }
    // The text shown above the folder list; none when empty.
    QString Title() const { return m_title; }
    void SetTitle(const QString& title) { m_title = title; }
    // The resizable dialog; otherwise it keeps the size it opens with.
    bool NewDialogStyle() const { return m_newDialogStyle; }
    void SetNewDialogStyle(bool on) { m_newDialogStyle = on; }
    // A box in which the user may type a folder name.
    bool EditBox() const { return m_editBox; }
    void SetEditBox(bool on) { m_editBox = on; }

    const TOnSelChanged& OnSelChanged() const { return m_onSelChanged; }
    void SetOnSelChanged(TOnSelChanged handler) { m_onSelChanged = std::move(handler); }
    const TOnSetPosition& OnSetPosition() const { return m_onSetPosition; }
    void SetOnSetPosition(TOnSetPosition handler) { m_onSetPosition = std::move(handler); }
    // Raised when the user presses F1 in the dialog, with the dialog; without a handler F1 does
    // nothing.
    const std::function<void(QWidget* dialog)>& OnHelp() const { return m_onHelp; }
    void SetOnHelp(std::function<void(QWidget* dialog)> handler) { m_onHelp = std::move(handler); }

    // Shows the dialog modally. True when the user chose a folder with OK (Path then holds it),
    // false when the user cancelled (Path unchanged).
    bool Execute();

protected:
    // Run right after OnSelChanged and OnSetPosition; a derived class may change the values.
    virtual void DoSelChanged(const QString& path, bool& enableOk);
    virtual void DoSetPosition(int& left, int& top, int width, int height);

    // The open dialog while a selection change is being handled; null at all other times.
    QFileDialog* Dialog() const { return m_dialog; }

private:
    friend class FolderDialog;
    // The dialog's two notifications.
    bool SelChanged(QFileDialog& dialog, const QString& path);
    void SetPosition(int& left, int& top, int width, int height);

    QString m_path;
    QString m_statusText;
    QString m_title;
    bool m_newDialogStyle = false;
    bool m_editBox = false;
    TOnSelChanged m_onSelChanged;
    TOnSetPosition m_onSetPosition;
    std::function<void(QWidget*)> m_onHelp;
    QFileDialog* m_dialog = nullptr;
};

} // namespace vmg::wizard

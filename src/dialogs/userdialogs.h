#pragma once

#include <QString>
#include <optional>

class QDialog;
class QWidget;

// Every message box, question, input box, file or folder dialog and every
// modal window of the editor goes through this interface. The editor uses
// QtUserDialogs; GUI tests put a scripted implementation in its place, which
// answers from a script and fails on a question nobody expected.
class UserDialogs {
public:
    enum class Answer { Yes, No, Cancel };

    struct FileRequest {
        QString caption;
        QString filter;            // "Text file (*.txt)|*.txt", as the commands give it
        QString defaultExtension;  // without the dot
        QString fileName;          // initial name; may be empty
        bool hideReadOnly = true;
        bool folderMustExist = true;

        static FileRequest of(const QString& filter, const QString& defaultExtension,
                              const QString& fileName = {}) {
            FileRequest request;
            request.filter = filter;
            request.defaultExtension = defaultExtension;
            request.fileName = fileName;
            return request;
        }
    };

    virtual ~UserDialogs() = default;

    // A plain message box with OK (notices and errors).
    virtual void message(const QString& text) = 0;
    // An information box with OK (a search that found nothing).
    virtual void information(const QString& text) = 0;
    // A confirmation box: Yes and No, plus Cancel when withCancel.
    virtual Answer question(const QString& text, bool withCancel) = 0;
    // A Yes/No question whose Yes lets in something the user did not ask
    // for: No is the default button, so Enter declines.
    virtual Answer questionDefaultNo(const QString& text) = 0;
    // An input box; nullopt when cancelled.
    virtual std::optional<QString> inputBox(const QString& caption, const QString& prompt,
                                            const QString& initial) = 0;
    virtual std::optional<QString> openFile(const FileRequest& request) = 0;
    virtual std::optional<QString> saveFile(const FileRequest& request) = 0;
    virtual std::optional<QString> chooseFolder(const QString& caption, const QString& start) = 0;
    // Shows one of the editor's own modal windows and returns its result
    // (QDialog::Accepted or QDialog::Rejected).
    virtual int execDialog(QDialog& dialog) = 0;
};

// The real dialogs, parented to the given window.
class QtUserDialogs : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    void message(const QString& text) override;
    void information(const QString& text) override;
    Answer question(const QString& text, bool withCancel) override;
    Answer questionDefaultNo(const QString& text) override;
    std::optional<QString> inputBox(const QString& caption, const QString& prompt,
                                    const QString& initial) override;
    std::optional<QString> openFile(const FileRequest& request) override;
    std::optional<QString> saveFile(const FileRequest& request) override;
    std::optional<QString> chooseFolder(const QString& caption, const QString& start) override;
    int execDialog(QDialog& dialog) override;

private:
    QWidget* parent_;
};

// "Text file (*.txt)|*.txt" -> "Text file (*.txt)" in Qt's form; pairs are
// separated by "|" and several become several filters.
QString qtFilterOf(const QString& filter);

#include "help/helpwindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace {

// Help pages are a few kilobytes; a file far larger is not read whole.
constexpr qint64 kPageSizeLimit = 4 * 1024 * 1024;

// The pages mark the red suits (hearts, diamonds) with this class.
const char* const kPageStyle = ".red { color: #c00000; }";

// A page of the window's own that says what is missing, so that the
// history and the contents still lead back to the help that exists.
const char* const kProblemScheme = "zqwhelp-problem";

QUrl problemPage(const QString& text) {
    QUrl url;
    url.setScheme(QLatin1String(kProblemScheme));
    url.setPath(QStringLiteral("problem"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("text"), text);
    url.setQuery(query);
    return url;
}

}  // namespace

class HelpBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int type, const QUrl& name) override {
        if (name.scheme() == QLatin1String(kProblemScheme)) {
            const QString text =
                QUrlQuery(name).queryItemValue(QStringLiteral("text"), QUrl::FullyDecoded);
            return QStringLiteral("<p>%1</p>").arg(text.toHtmlEscaped());
        }
        return QTextBrowser::loadResource(type, name);
    }
};

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("ZQW Convention card editor help"));
    // The help never keeps the editor running on its own.
    setAttribute(Qt::WA_QuitOnClose, false);

    backButton_ = new QToolButton(this);
    backButton_->setObjectName(QStringLiteral("helpBack"));
    backButton_->setText(QStringLiteral("&Back"));
    backButton_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    backButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    backButton_->setEnabled(false);
    forwardButton_ = new QToolButton(this);
    forwardButton_->setObjectName(QStringLiteral("helpForward"));
    forwardButton_->setText(QStringLiteral("&Forward"));
    forwardButton_->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    forwardButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    forwardButton_->setEnabled(false);
    searchBox_ = new QLineEdit(this);
    searchBox_->setObjectName(QStringLiteral("helpSearch"));
    searchBox_->setPlaceholderText(QStringLiteral("Words to find"));
    searchBox_->setClearButtonEnabled(true);
    auto* searchLabel = new QLabel(QStringLiteral("&Search:"), this);
    searchLabel->setBuddy(searchBox_);

    contents_ = new QListWidget(this);
    contents_->setObjectName(QStringLiteral("helpContents"));
    contents_->setAccessibleName(QStringLiteral("Contents"));
    browser_ = new HelpBrowser(this);
    browser_->setObjectName(QStringLiteral("helpPage"));
    browser_->setAccessibleName(QStringLiteral("Help page"));
    // Links are followed here, and only to pages of the help folder.
    browser_->setOpenLinks(false);
    browser_->setOpenExternalLinks(false);
    browser_->document()->setDefaultStyleSheet(QString::fromLatin1(kPageStyle));

    auto* bar = new QHBoxLayout;
    bar->addWidget(backButton_);
    bar->addWidget(forwardButton_);
    bar->addStretch();
    bar->addWidget(searchLabel);
    bar->addWidget(searchBox_, 1);
    auto* splitter = new QSplitter(this);
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({230, 530});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(splitter, 1);
    resize(760, 540);

    connect(backButton_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forwardButton_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, backButton_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forwardButton_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::pageChanged);
    const auto openItem = [this](QListWidgetItem* item) {
        if (item) showTopic(item->data(Qt::UserRole).toInt());
    };
    connect(contents_, &QListWidget::itemClicked, this, openItem);
    connect(contents_, &QListWidget::itemActivated, this, openItem);
    connect(searchBox_, &QLineEdit::textChanged, this, &HelpWindow::search);
    connect(searchBox_, &QLineEdit::returnPressed, this, &HelpWindow::openFirstMatch);
}

QTextBrowser& HelpWindow::browser() { return *browser_; }

void HelpWindow::setHelpFolder(const QString& folder) {
    if (folder == folder_ && !topics_.isEmpty()) return;
    folder_ = folder;
    topics_ = HelpTopics::load(folder);
    pageTexts_.clear();
    search(searchBox_->text());
}

bool HelpWindow::showTopic(int context) {
    const auto topic = topics_.find(context);
    bool shown = false;
    if (!topic) {
        showProblem(QStringLiteral("There is no help topic %1 in %2.")
                        .arg(context)
                        .arg(QDir::toNativeSeparators(folder_)));
    } else if (const QString path = QDir(folder_).filePath(topic->page);
               !QFileInfo(path).isFile()) {
        showProblem(
            QStringLiteral("The help page %1 is missing.").arg(QDir::toNativeSeparators(path)));
    } else {
        browser_->setSource(QUrl::fromLocalFile(path));
        shown = true;
    }
    show();
    raise();
    activateWindow();
    return shown;
}

std::optional<HelpTopic> HelpWindow::currentTopic() const { return topicOf(browser_->source()); }

std::optional<HelpTopic> HelpWindow::topicOf(const QUrl& page) const {
    if (!page.isLocalFile()) return std::nullopt;
    return topics_.findPage(QFileInfo(page.toLocalFile()).fileName());
}

void HelpWindow::showProblem(const QString& text) { browser_->setSource(problemPage(text)); }

void HelpWindow::followLink(const QUrl& link) {
    const QUrl target = browser_->source().resolved(link);
    if (!target.isLocalFile()) return;
    const QString page = QFileInfo(target.toLocalFile()).canonicalFilePath();
    const QString folder = QDir(folder_).canonicalPath();
    if (page.isEmpty() || folder.isEmpty() || !page.startsWith(folder + QLatin1Char('/'))) return;
    browser_->setSource(target);
}

void HelpWindow::pageChanged(const QUrl& page) {
    const auto topic = topicOf(page);
    const QSignalBlocker blocker(contents_);
    contents_->setCurrentItem(nullptr);
    for (int i = 0; topic && i < contents_->count(); ++i) {
        if (contents_->item(i)->data(Qt::UserRole).toInt() == topic->context) {
            contents_->setCurrentRow(i);
            break;
        }
    }
}

void HelpWindow::search(const QString& text) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    fillContents(text.split(blanks, Qt::SkipEmptyParts));
}

void HelpWindow::fillContents(const QStringList& words) {
    const QSignalBlocker blocker(contents_);
    contents_->clear();
    for (const HelpTopic& topic : topics_.topics()) {
        bool matches = true;
        for (const QString& word : words) {
            if (!topic.title.contains(word, Qt::CaseInsensitive) &&
                !pageText(topic.page).contains(word, Qt::CaseInsensitive)) {
                matches = false;
                break;
            }
        }
        if (!matches) continue;
        auto* item = new QListWidgetItem(topic.title, contents_);
        item->setData(Qt::UserRole, topic.context);
    }
    pageChanged(browser_->source());
}

void HelpWindow::openFirstMatch() {
    if (contents_->count() == 0) return;
    showTopic(contents_->item(0)->data(Qt::UserRole).toInt());
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = searchBox_->text().split(blanks, Qt::SkipEmptyParts);
    // The first word found in the page shows where the page matched.
    if (!words.isEmpty()) browser_->find(words.front());
}

const QString& HelpWindow::pageText(const QString& page) {
    auto found = pageTexts_.find(page);
    if (found != pageTexts_.end()) return *found;
    QString text;
    QFile file(QDir(folder_).filePath(page));
    if (file.open(QIODevice::ReadOnly)) {
        QTextDocument document;
        document.setHtml(QString::fromUtf8(file.read(kPageSizeLimit)));
        text = document.toPlainText();
    }
    return *pageTexts_.insert(page, text);
}

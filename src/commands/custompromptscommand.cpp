#include "commands/custompromptscommand.h"

#include <QAction>
#include <QEvent>

#include "commands/commandcontext.h"
#include "commands/menuactions.h"
#include "commands/promptcontroller.h"
#include "document/carddocument.h"
#include "document/editorsettings.h"
#include "prompts/custompromptswindow.h"
#include "views/sectionview.h"

CustomPromptsCommand::CustomPromptsCommand(const CommandContext& context, PromptController& prompts)
    : view_(context.view),
      settings_(context.settings),
      prompts_(prompts),
      dialogs_(context.dialogs) {
    item_ = context.menu.add(*this, QStringLiteral("toggleCustomPrompts"),
                             QStringLiteral("&Custom prompts"), QKeySequence(Qt::Key_F4), {},
                             [this] { toggleCustomPrompts(); });
    item_->setCheckable(true);
}

CustomPromptsCommand::~CustomPromptsCommand() = default;

CustomPromptsWindow& CustomPromptsCommand::window() {
    if (window_) return *window_;
    window_ = std::make_unique<CustomPromptsWindow>(dialogs_, &view_);
    CustomPromptsWindow& window = *window_;
    window.setFileName(settings_.customPromptFile());
    window.setSuitChars(settings_.suitChars());
    window.setCardFont(settings_.displayFont());
    window.setColourSuits(settings_.colourSuits());
    connect(&window, &CustomPromptsWindow::fileNameChanged, this,
            [this](const QString& path) { settings_.setCustomPromptFile(path); });
    connect(&window, &CustomPromptsWindow::promptChosen, &prompts_,
            &PromptController::insertPrompt);
    connect(&window, &CustomPromptsWindow::shownChanged, item_, &QAction::setChecked);
    connect(&settings_, &EditorSettings::displayFontChanged, &window,
            [this] { window_->setCardFont(settings_.displayFont()); });
    connect(&settings_, &EditorSettings::suitCharsChanged, &window,
            [this] { window_->setSuitChars(settings_.suitChars()); });
    connect(&settings_, &EditorSettings::colourSuitsChanged, &window,
            &CustomPromptsWindow::setColourSuits);
    view_.window()->installEventFilter(this);
    return window;
}

void CustomPromptsCommand::toggleCustomPrompts() {
    CustomPromptsWindow& prompts = window();
    if (prompts.isVisible()) {
        // Hidden, not closed: the list stays as it is for the next showing.
        prompts.hide();
        return;
    }
    if (!placed_) {
        // First showing: by the right edge of the editor's window, clear of
        // the grids' first columns.
        const QRect editor = view_.window()->frameGeometry();
        prompts.move(std::max(editor.left(), editor.right() - prompts.width() - 40),
                     editor.top() + 80);
        placed_ = true;
    }
    prompts.show();
    prompts.raise();
    prompts.activateWindow();
}

bool CustomPromptsCommand::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && window_ && watched == view_.window())
        window_->offerSaveAtExit();
    return QObject::eventFilter(watched, event);
}

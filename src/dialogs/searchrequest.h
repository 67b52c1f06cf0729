#pragma once

#include <QString>

// How a search through the notes runs. A search always stays within one
// line and stops at the end of the text; it never wraps around.
struct SearchOptions {
    // Towards the start of the text; otherwise towards its end.
    bool backward = false;
    // Capital and small letters must match; otherwise they are treated alike.
    bool matchCase = false;
    // Start at the start of the text (forward) or at its end (backward)
    // instead of at the caret.
    bool global = false;
};

// What the Find and Replace dialogs ask for.
struct SearchRequest {
    QString text;
    QString replacement;
    SearchOptions options;
    bool replaceAll = false;
    bool confirm = false;
};

#pragma once
#include "context/Session.h"

class QWidget;

// Setup -> Verify Journal Entries: recomputes the chain of the selected company's journal
// entries with a progress window and answers whether every entry is as saved, or names
// the first one that is not. For the company's administrators; answers whether it ran.
bool verifyJournalEntries(const BookContext& books, QWidget* parent);

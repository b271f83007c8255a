#pragma once
#include "context/BookSelection.h"
#include "context/Session.h"

#include <QString>

class Query;
class QWidget;

// Opens a setup list window of the selected company for its administrators, captioned
// "<caption> - <company>" when a caption is given; answers whether it was opened (and the
// books may have changed). TestSetupAccess has told the user why when it refuses.
template <class Window>
bool openAdministratorWindow(
    const BookContext& books, Query* list, QWidget* parent, const QString& caption = {})
{
    if (!books.session.TestSetupAccess())
        return false;
    Window window(books, list, parent);
    if (!caption.isEmpty())
        window.setWindowTitle(caption + QStringLiteral(" - ") + books.selection.companyText());
    window.exec();
    return true;
}

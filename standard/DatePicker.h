#pragma once
#include <QDateEdit>

// A date picker as the windows use it: dd/mm/yyyy, a calendar to drop down, and Tab going
// on to the next control as from any other box. (Qt's date edit takes Tab for its day,
// month and year first, so text typed after one Tab lands in the date and is lost; the
// parts are reached by typing the digits, "/" or the arrow keys.)
class DatePicker : public QDateEdit {
public:
    explicit DatePicker(QWidget* parent = nullptr) : QDateEdit(parent)
    {
        setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        setCalendarPopup(true);
    }

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

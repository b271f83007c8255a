#pragma once
#include <QDate>
#include <QString>
#include <stdexcept>

// Raised by MyStringToDate for a text that is not a real dd/mm/yyyy calendar date.
class DateConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

QDate MyStringToDate(const QString& DateText);
bool TestMyDate(const QString& DateText);
// A null QDate is the zero date of an empty date field, 30 December 1899.
QString DateToMyString(const QDate& DateToConvert);
QString DateToMySQLDate(const QDate& DateToConvert);
// A date as a quoted literal for a statement: "2026-12-10".
QString sqlDateLiteral(const QDate& date);

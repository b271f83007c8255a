#pragma once
#include <QString>
#include <stdexcept>

// A statement the server or the client library refused. Callers that own a transaction
// catch it and roll back; everywhere else it reaches ShowStandardError via Guarded().
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& text, const QString& code = {})
        : std::runtime_error(text.toStdString()), m_text(text), m_code(code) {}
    QString text() const { return m_text; }
    QString code() const { return m_code; }
    // The server refused a row because a unique key already holds its value.
    bool isDuplicateKey() const { return m_code == QLatin1String("1062"); }

private:
    QString m_text;
    QString m_code;
};

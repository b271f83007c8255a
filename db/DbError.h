#pragma once
#include <QString>
#include <stdexcept>

// A statement the server or the client library refused. Callers that own a transaction
// let it roll back; everywhere else it reaches ShowStandardError through a guarded handler.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& text, const QString& code = {})
        : std::runtime_error(text.toStdString()), m_text(text), m_code(code)
    {
    }
    // The connection was lost at a COMMIT and the database could not be asked afterwards
    // whether the save is in: it may or may not have been stored.
    static DbError unconfirmed(const DbError& lost)
    {
        DbError e(lost.text(), lost.code());
        e.m_unconfirmed = true;
        return e;
    }
    bool isUnconfirmed() const { return m_unconfirmed; }
    // A refusal its caller knows to come from another workstation's save that won a
    // collision: the server rolled the transaction back, and running it again is safe.
    static DbError collision(const DbError& refused)
    {
        DbError e(refused.text(), refused.code());
        e.m_collision = true;
        return e;
    }
    // Deadlock, also how a cluster reports a commit that lost certification, or such a
    // refusal.
    bool isCollision() const { return m_collision || m_code == QLatin1String("1213"); }
    QString text() const { return m_text; }
    QString code() const { return m_code; }
    // The server refused a row because a unique key already holds its value.
    bool isDuplicateKey() const { return m_code == QLatin1String("1062"); }
    // The connection itself is gone (client and server codes that say so), or its server
    // is a cluster node that no longer serves ("not ready", 1047): left like a lost one.
    bool isConnectionLost() const { return isConnectionLostCode(m_code); }
    static bool isConnectionLostCode(const QString& code)
    {
        for (const char* lost : {"2006", "2013", "2055", "1927", "4031", "1053", "1047"})
            if (code == QLatin1String(lost))
                return true;
        return false;
    }

private:
    QString m_text;
    QString m_code;
    bool m_unconfirmed = false;
    bool m_collision = false;
};

// A mistake in the program itself (an unknown field name, a call out of order), never a
// database problem: the message says so, so that nobody takes it for one.
class ProgramError : public std::logic_error {
public:
    explicit ProgramError(const QString& text) : std::logic_error(text.toStdString()) { }
    QString text() const { return QString::fromStdString(what()); }
};

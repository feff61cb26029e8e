#pragma once

#include <QString>

#include <stdexcept>

// An error raised by the data layer or by a conversion. Screens show it as
// className + " error raised, with message : " + message; an error caught
// part-way through a longer action names the step after "error raised".
class DbError : public std::runtime_error
{
public:
    DbError(QString className, QString message, QString step = {})
        : std::runtime_error(message.toStdString()), m_className(std::move(className)),
          m_message(std::move(message)), m_step(std::move(step))
    {
    }

    const QString &className() const { return m_className; }
    const QString &message() const { return m_message; }
    QString displayText() const
    {
        return m_className + QStringLiteral(" error raised") +
               (m_step.isEmpty() ? QString() : u' ' + m_step) +
               QStringLiteral(", with message : ") + m_message;
    }

    static DbError database(const QString &message)
    {
        return DbError(QStringLiteral("EDatabaseError"), message);
    }
    static DbError conversion(const QString &message)
    {
        return DbError(QStringLiteral("EConvertError"), message);
    }

private:
    QString m_className;
    QString m_message;
    QString m_step;
};

// Stops an action whose message has already been shown (a rule refusing a
// new row, a guard refusing an edit). Whoever catches it shows nothing more.
class SilentAbort : public std::exception
{
public:
    const char *what() const noexcept override { return "operation aborted"; }
};

// A refusal of the user's action with a message meant for the user (a
// number already taken, a validated document). Shown as an information box.
class ActionRefused : public std::runtime_error
{
public:
    explicit ActionRefused(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// The text a screen shows for any exception an action let through.
QString errorDisplayText(const std::exception &e);

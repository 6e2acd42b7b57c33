#pragma once
#include <QString>
#include <stdexcept>

// Every failure the program raises derives from AppError; the handler guard shows its message.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// A text that should be a number, a date, a time or a boolean and is not.
class ConversionError : public AppError {
public:
    using AppError::AppError;
};

// The media player could not open or play a file.
class MediaError : public AppError {
public:
    using AppError::AppError;
};

// An index past the end of a list.
class ListIndexError : public AppError {
public:
    using AppError::AppError;
};

// A file could not be written (enciphered writes report this; plain writes stay silent).
class FileError : public AppError {
public:
    using AppError::AppError;
};

// What the user asked for cannot be done as it stands; nothing was changed.
class InputError : public AppError {
public:
    using AppError::AppError;
};

// Ends a handler on purpose without showing anything.
class SilentAbort : public AppError {
public:
    SilentAbort() : AppError(QString()) {}
};

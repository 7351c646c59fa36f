#pragma once

// Deletes a file or a whole folder tree. A symbolic link is removed itself,
// never followed. A file without write permission for its owner counts as
// read-only: the deleter asks before removing it (or, with the prompt off,
// makes it writable and removes it). The deleter remembers the first failure
// of its last run.

#include <QString>

#include <functional>

class CFileDeleter {
public:
    // The answers of the read-only question.
    enum class Answer { Yes, No, Cancel };
    // Asks whether the read-only file (given by its name without folder) may go.
    using ReadOnlyQuestion = std::function<Answer(const QString& fileName)>;

    // Asks with a Yes/No/Cancel box on the UI thread.
    CFileDeleter();
    explicit CFileDeleter(ReadOnlyQuestion question);

    // Deletes the file or folder tree. True when everything went, or when the
    // user cancelled at a read-only file (or kept one: then that file and the
    // folders above it stay); false on a failure, whose message and code
    // Message() and Code() give. Files deleted before a failure stay deleted.
    bool Delete(const QString& path);

    void SetPromptOnReadOnly(bool prompt) { m_promptOnReadOnly = prompt; }
    QString Message() const { return m_message; }
    unsigned Code() const { return m_code; }
    // Whether a read-only file was kept, or the user cancelled.
    bool Skipped() const { return m_skipped; }

    // The question box of the running program.
    static Answer AskWithMessageBox(const QString& fileName);

private:
    struct Failure {
        unsigned code;
        QString message;
    };

    bool deleteTree(const QString& path, Failure& failure);
    bool deleteFolder(const QString& path, Failure& failure);
    // Whether the read-only rule lets the file go; false with failure code 0
    // when the user cancels.
    bool mayDelete(const QString& path, unsigned mode, bool& cancelled);

    ReadOnlyQuestion m_question;
    QString m_message = QStringLiteral("No error");
    unsigned m_code = 0;
    bool m_promptOnReadOnly = true;
    bool m_skipped = false;
};

#pragma once
// The program's command line: lumetra [选项] [文件.doc].
//
// --help and --version are answered before the application object exists,
// so they work without a window system. A document named on the line is
// opened once the main window is up, by the same steps as the Open command
// (the desktop's "Open with" starts the program that way).
//
// Qt's own options (-platform, -style, ...) are taken off the line by
// QApplication; the line is read again after that, and only then is an
// unknown option an error.

#include <QString>
#include <QStringList>

namespace platform {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    // The document to open at start, as an absolute path; empty for none.
    QString file;
    // --word-processor=builtin|libreoffice as given (lower case); empty
    // when not given.
    QString wordProcessor;
    // What is wrong with the line, for Action::Error.
    QString error;
};

// Reads a command line, the program's name first. --help and --version win
// over anything else on the line, mistakes included. A file may be given as
// a path (relative to the current folder) or as a file: URL.
CommandLine parseCommandLine(const QStringList& arguments);

// The environment variable that chooses the word processor when the
// command line does not.
inline constexpr const char* kWordProcessorVariable = "LUMETRA_WORD_PROCESSOR";

// The word processor asked for: the command line's, else the environment's
// (empty for the default). A wrong name in the environment is reported in
// `problem` and ignored.
QString chosenWordProcessor(const CommandLine& line, QString* problem);

// The program's version, "2.4.13".
QString programVersion();
// What --help prints.
QString usageText();
// What --version prints.
QString versionText();

// Prints what the action asks for (help and version on standard output, an
// error on standard error) and returns the exit code: 0, or 2 for an error.
int answerCommandLine(const CommandLine& line);

} // namespace platform

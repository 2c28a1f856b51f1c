#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace velmar {

// A profile (INI) file kept as its own bytes, so that writing one key changes that key's line
// and nothing else: comments, blank lines, unknown keys, sections written by hand, a byte
// order mark and the file's line-ending style all survive a save byte for byte. Lines are
// found by scanning when a key is asked for, so the profile takes no more memory than its
// text, however many (blank) lines it has.
//
// Section and key names are matched without regard to case and without the blanks around
// them; the first section and the first key of a name win, as the desktop's own profile
// functions do. Lines starting with ';' are comments.
class IniFile {
public:
    // Longest value handed out, in characters; the rest of a longer value is cut off.
    static constexpr int kMaxValueLength = 2047;

    IniFile() = default;
    explicit IniFile(const QByteArray& contents);

    // Largest file load() reads. A profile holds a few lines; anything bigger is not one, and
    // reading it would cost memory and time for nothing.
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    // The profile in `fileName`. A file that does not exist reads as an empty profile.
    // Only a regular file (symbolic links followed) of at most kMaxFileSize bytes is read;
    // its type is checked before it is opened and it is opened without blocking, so a named
    // pipe or a device in its place never stalls the caller. Anything else gives nullopt
    // (so a save cannot overwrite lines it never saw), and `problem`, when given, says why
    // in words for the operator: "it is a folder", "it is larger than 1 MiB (...)".
    static std::optional<IniFile> load(const QString& fileName, QString* problem = nullptr);

    // The value of `key` in `section`, blanks around it removed, at most kMaxValueLength
    // characters; nullopt when the section or the key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;

    // Replaces the value of `key` in place, or adds the key at the end of its section, or
    // adds the section at the end of the file. Line breaks in `value` are dropped so that
    // one key stays one line.
    void setValue(const QString& section, const QString& key, const QString& value);

    QByteArray contents() const;

    // Replaces `fileName` with contents() in one step: a new file is written and flushed to
    // disk beside the old one and then renamed over it, so the old file stays whole if the
    // program dies half-way. Creates a missing folder. False when the file cannot be
    // written (the reason in `error` when given); the old file is then untouched.
    bool save(const QString& fileName, QString* error = nullptr) const;

private:
    // One line of text_, as offsets: [start, end) is its text without the line ending, and
    // the next line starts at `next` (text_.size() after the last line).
    struct Line {
        qsizetype start = 0;
        qsizetype end = 0;
        qsizetype next = 0;
        bool hasEnding() const { return next > end; }
    };
    struct Section {
        Line header;       // the "[name]" line
        Line lastContent;  // its last line that is not blank (the header when there is none)
        qsizetype end = 0; // where the next section's header starts, or the end of the text
    };

    Line lineAt(qsizetype start) const;
    QByteArrayView textOf(const Line& line) const;
    std::optional<Section> findSection(const QString& name) const;
    std::optional<Line> findKey(const Section& section, const QString& key) const;

    QByteArray byteOrderMark_;
    QByteArray text_;             // everything after the byte order mark
    QByteArray newline_ = "\n";  // used for lines we add: the file's own style, LF when new
};

}  // namespace velmar

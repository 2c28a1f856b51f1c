#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace velmar {

// A profile (INI) file kept as its own lines, so that writing one key changes that key's line
// and nothing else: comments, blank lines, unknown keys, sections written by hand, a byte
// order mark and the file's line-ending style all survive a save byte for byte.
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

    // The profile in `fileName`. A file that does not exist reads as an empty profile;
    // nullopt when the file exists but cannot be read (so a save cannot overwrite lines it
    // never saw).
    static std::optional<IniFile> load(const QString& fileName);

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
    struct Line {
        QByteArray text;    // without its line ending
        QByteArray ending;  // "\r\n", "\n", or empty for a last line without one
    };
    struct Section {
        int header = -1;  // index of the "[name]" line
        int end = 0;      // index of the line after the section's last line
    };

    std::optional<Section> findSection(const QString& name) const;
    int findKey(const Section& section, const QString& key) const;

    QByteArray byteOrderMark_;
    QList<Line> lines_;
    QByteArray newline_ = "\n";  // used for lines we add: the file's own style, LF when new
};

}  // namespace velmar

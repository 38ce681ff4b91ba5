// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace vrako {

// An initialisation file shared with other programs: reads and changes single keys and leaves
// every other byte of the file as it was. Section and key names are compared without regard to
// letter case. Lines are read as UTF-8, or as Latin-1 when a line is not valid UTF-8; untouched
// lines are written back with their original bytes, changed and new ones in UTF-8.
class IniFile {
public:
    // Reads the file. A missing file reads as empty and counts as success; a file that exists
    // but cannot be read returns false, and save() then refuses to overwrite it.
    bool load(const QString& path);
    QString path() const { return m_path; }

    // The value of the first key of that name in the first section of that name, with the
    // spaces round it removed; nothing when the section or key is absent.
    std::optional<QString> value(const QString& section, const QString& key) const;
    // Sets the value: rewrites the key's line, or adds the key after the section's last key, or
    // adds the section at the end of the file. Line breaks in the value become spaces.
    void setValue(const QString& section, const QString& key, const QString& value);

    // Replaces the file atomically (a sibling file renamed over it once complete), creating its
    // folder when needed. On failure the old file is left whole and false is returned.
    bool save() const;

    // The file's bytes as save() would write them.
    QByteArray toBytes() const;

private:
    struct Line {
        QByteArray raw; // the line's bytes without its line break
        QByteArray eol; // "\n", "\r\n", "\r" or empty for a last line without one
    };

    // The name of a "[section]" line.
    static std::optional<QString> sectionOf(const Line& line);
    // The key and value of a "key=value" line outside comments.
    static bool keyOf(const Line& line, QString* key, QString* value);
    qsizetype findSection(const QString& section) const;
    QByteArray lineBreak() const;

    QString m_path;
    QList<Line> m_lines;
    bool m_unreadable = false;
};

} // namespace vrako

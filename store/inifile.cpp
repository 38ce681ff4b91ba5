// SPDX-License-Identifier: MIT
#include "store/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace vrako {
namespace {

// A line written by a program that stores text in an 8-bit code page is rarely valid UTF-8;
// such a line reads as Latin-1 so that its characters survive instead of turning into U+FFFD.
QString decodeLine(const QByteArray& raw) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(raw);
    if (utf8.hasError())
        return QString::fromLatin1(raw);
    return text;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString oneLine(QString value) {
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

} // namespace

bool IniFile::load(const QString& path) {
    m_path = path;
    m_lines.clear();
    m_unreadable = false;
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        m_unreadable = true;
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_unreadable = true;
        return false;
    }
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        Line line{bytes.mid(start, end - start), {}};
        if (end < bytes.size()) {
            const bool crlf =
                bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
            line.eol = bytes.mid(end, crlf ? 2 : 1);
        }
        start = end + line.eol.size();
        m_lines.append(line);
    }
    return true;
}

std::optional<QString> IniFile::sectionOf(const Line& line) {
    QString text = decodeLine(line.raw).trimmed();
    // A byte order mark may open the file.
    if (text.startsWith(QChar(0xFEFF)))
        text = text.mid(1).trimmed();
    if (!text.startsWith(QLatin1Char('[')))
        return std::nullopt;
    const qsizetype close = text.indexOf(QLatin1Char(']'));
    if (close < 0)
        return std::nullopt;
    return text.mid(1, close - 1).trimmed();
}

bool IniFile::keyOf(const Line& line, QString* key, QString* value) {
    const QString text = decodeLine(line.raw);
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype eq = text.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    *key = text.left(eq).trimmed();
    if (value)
        *value = text.mid(eq + 1).trimmed();
    return !key->isEmpty();
}

qsizetype IniFile::findSection(const QString& section) const {
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionOf(m_lines[i]);
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    for (qsizetype i = header + 1; i < m_lines.size() && !sectionOf(m_lines[i]); ++i) {
        QString name, text;
        if (keyOf(m_lines[i], &name, &text) && sameName(name, key))
            return text;
    }
    return std::nullopt;
}

QByteArray IniFile::lineBreak() const {
    // New lines follow the file's own convention.
    for (const Line& line : m_lines)
        if (!line.eol.isEmpty())
            return line.eol;
    return QByteArrayLiteral("\n");
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    const QByteArray text = oneLine(value).toUtf8();
    const QByteArray eol = lineBreak();
    qsizetype header = findSection(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && m_lines.last().eol.isEmpty())
            m_lines.last().eol = eol;
        m_lines.append({'[' + section.toUtf8() + ']', eol});
        header = m_lines.size() - 1;
    }
    qsizetype insertAt = header + 1;
    for (qsizetype i = header + 1; i < m_lines.size() && !sectionOf(m_lines[i]); ++i) {
        QString name;
        if (!keyOf(m_lines[i], &name, nullptr))
            continue;
        if (sameName(name, key)) {
            // Keep the key as the file spells it and the spaces round "=".
            const QByteArray& raw = m_lines[i].raw;
            qsizetype start = raw.indexOf('=') + 1;
            while (start < raw.size() && (raw[start] == ' ' || raw[start] == '\t'))
                ++start;
            m_lines[i].raw = raw.left(start) + text;
            return;
        }
        insertAt = i + 1;
    }
    Line line{key.toUtf8() + '=' + text, eol};
    if (insertAt == m_lines.size() && !m_lines.isEmpty() && m_lines.last().eol.isEmpty())
        m_lines.last().eol = eol;
    m_lines.insert(insertAt, line);
}

QByteArray IniFile::toBytes() const {
    QByteArray out;
    for (const Line& line : m_lines)
        out += line.raw + line.eol;
    return out;
}

bool IniFile::save() const {
    if (m_unreadable || m_path.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    // Unbuffered, so that a short write (a full disk, a size limit) shows in write()'s result:
    // QSaveFile would otherwise rename the cut file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = toBytes();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace vrako

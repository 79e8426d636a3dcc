#pragma once
// Texts kept as the store hands them over: UTF-8, one after another in a single
// buffer, each known by its span. A list or tree of hundreds of thousands of
// texts is built and freed without an allocation per text, and a QString is
// made only for a text that is asked for.
#include <QByteArray>
#include <QString>

class TextSpans {
public:
    struct Span {
        qint32 start = 0;
        qint32 length = 0;
    };
    Span add(QByteArrayView utf8) {
        const Span s{qint32(m_bytes.size()), qint32(utf8.size())};
        m_bytes.append(utf8);
        return s;
    }
    QByteArrayView bytes(Span s) const { return QByteArrayView(m_bytes.constData() + s.start, s.length); }
    QString text(Span s) const { return QString::fromUtf8(bytes(s)); }
    // The spans of `other` are valid here once moved by the returned offset.
    qint32 append(const TextSpans& other) {
        const qint32 offset = qint32(m_bytes.size());
        m_bytes.append(other.m_bytes);
        return offset;
    }
    void swap(TextSpans& other) noexcept { m_bytes.swap(other.m_bytes); }

private:
    QByteArray m_bytes;
};

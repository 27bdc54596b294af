#pragma once

#include <QByteArrayView>
#include <QString>
#include <vector>

// A small pull parser for the XML of workbook parts (UTF-8, as spreadsheets write them), about
// forty times faster than a general one on a large sheet. Elements are named without their
// prefix; text comes with the five predefined entities and character references decoded; CDATA is
// text; comments, processing instructions and the XML declaration are passed over. It checks
// that tags nest and close, and refuses a document type definition outright (no entity can be
// defined, so none can expand without end or reach outside the file). Attribute values and text
// are decoded only when asked for, so that what is passed over costs little.
class XmlScanner {
public:
    enum class Token { StartElement, EndElement, Text, End, Invalid };
    enum class Problem { None, Broken, DocumentType };

    explicit XmlScanner(QByteArrayView xml);

    Token Next();
    Token Current() const { return m_token; }

    // The element's name without its prefix (StartElement, EndElement).
    QByteArrayView Name() const { return m_name; }
    // An attribute of the start element by its name without prefix: as written, or decoded
    // (empty when there is none).
    QByteArrayView RawAttribute(QByteArrayView name) const;
    QString Attribute(QByteArrayView name) const;

    // The text token: as written (entities not decoded), and decoded onto out up to cap characters
    // in all (the rest is passed over).
    QByteArrayView RawText() const { return m_text; }
    void AppendText(QString& out, qsizetype cap) const;
    // True when the text holds nothing but white space.
    bool TextIsBlank() const;

    // After a StartElement: the decoded text of every Text inside the element (at most cap
    // characters), passing over nested elements named skip; ends on the element's EndElement.
    QString ElementText(qsizetype cap, QByteArrayView skip = {});
    // After a StartElement: passes over the element; ends on its EndElement.
    void SkipElement();

    Problem Error() const;
    // Decodes text as written (entities included) onto out; false when an entity is not known.
    static bool DecodeText(QByteArrayView raw, QString& out);
    qsizetype Line() const; // of the problem, or of where the scanner is
    qsizetype Position() const { return m_position; }
    qsizetype Size() const { return m_xml.size(); }

private:
    struct AttributeSpan {
        QByteArrayView name;
        QByteArrayView value;
    };
    Token fail(Problem problem);
    bool readStartTag();
    static void decode(QByteArrayView raw, QString& out, qsizetype cap, bool* invalid);

    QByteArrayView m_xml;
    qsizetype m_position = 0;
    Token m_token = Token::Invalid;
    Problem m_problem = Problem::None;
    QByteArrayView m_name;
    QByteArrayView m_text;
    bool m_pendingEnd = false; // an empty element: its end comes next
    bool m_cdata = false;      // the text is a CDATA section: no entities
    bool m_sawRoot = false;
    std::vector<AttributeSpan> m_attributes;
    std::vector<QByteArrayView> m_open; // names of the open elements, as written
    mutable bool m_badEntity = false;
};

#include "addin/AccessConnect.h"
#include "common/TextFiles.h"

#include <QFile>
#include <QTextStream>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QString kCustomUiNamespace = QStringLiteral("http://schemas.microsoft.com/office/2006/01/customui");

// The parsed definition as an outline: one line per element, two blanks per level, its attributes sorted
// by name, a carriage return written as the character reference it was given as. Whitespace between
// elements and the order of attributes do not show.
QString Outline(const QString& xml, QString& problems) {
    QString outline;
    QTextStream out(&outline);
    QXmlStreamReader reader(xml);
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement: {
                if (reader.namespaceUri() != kCustomUiNamespace) {
                    problems += QStringLiteral("%1 outside the custom UI namespace\n").arg(reader.name());
                }
                out << QString(depth * 2, u' ') << reader.name();
                auto attributes = reader.attributes();
                std::sort(attributes.begin(), attributes.end(),
                          [](const auto& a, const auto& b) { return a.name() < b.name(); });
                for (const auto& attribute : attributes) {
                    QString value = attribute.value().toString();
                    value.replace(QLatin1Char('\r'), QLatin1String("&#13;"));
                    out << ' ' << attribute.name() << "=\"" << value << '"';
                }
                out << '\n';
                ++depth;
                break;
            }
            case QXmlStreamReader::EndElement:
                --depth;
                break;
            case QXmlStreamReader::Characters:
                if (!reader.isWhitespace()) {
                    problems += QStringLiteral("text %1\n").arg(reader.text());
                }
                break;
            default:
                break;
        }
    }
    if (reader.hasError()) {
        problems += reader.errorString() + u'\n';
    }
    return outline;
}

}  // namespace

TEST(RibbonTest, TheDefinitionParsesBackToTheReferenceOutline) {
    AccessConnect connect;
    const QString xml = connect.GetRibbonXML();
    QString problems;
    const QString outline = Outline(xml, problems);
    EXPECT_TRUE(problems.isEmpty()) << problems.toStdString();

    EXPECT_EQ(outline.toStdString(),
              readTextFile(QStringLiteral(QORVEL_TEST_DATA_DIR "/ribbon-outline.txt")).toStdString());

    // The text the host reads, byte for byte (qorvel ribbon adds the line feed), the same on every request.
    EXPECT_EQ((xml + u'\n').toStdString(),
              readFileBytes(QStringLiteral(QORVEL_TEST_DATA_DIR "/ribbon.xml")).toStdString());
    EXPECT_EQ(connect.IRibbonExtensibility_GetCustomUI(QStringLiteral("Microsoft.Access.Database")), xml);
}

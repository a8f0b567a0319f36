#include "completion/clsFile.h"

#include "support/mErrorHandle.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

// The error numbers of the host platform's file access.
constexpr int errFileNotFound = 53;
constexpr int errPermissionDenied = 70;
constexpr int errDeviceIO = 57;

int ErrorNumber(QFileDevice::FileError error) {
    switch (error) {
        case QFileDevice::OpenError:
        case QFileDevice::PermissionsError:
            return errPermissionDenied;
        case QFileDevice::ResourceError:
            return errDeviceIO;
        default:
            return errDeviceIO;
    }
}

QString Decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

}  // namespace

clsFile::clsFile(platform::Services services, QString fullName)
    : FullName(std::move(fullName)), mServices(std::move(services)) {}

QString clsFile::Path() const {
    const qsizetype slash = FullName.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : FullName.left(slash);
}

QString clsFile::NameWithExtension() const {
    return FullName.mid(FullName.lastIndexOf(QLatin1Char('/')) + 1);
}

QString clsFile::Name() const {
    const QString name = NameWithExtension();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString clsFile::Extension() const {
    const QString name = NameWithExtension();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString clsFile::Contents() {
    mError = 0;
    const QFileInfo info(FullName);
    if (!info.exists() || !info.isFile()) {
        return QString();
    }
    QFile file(FullName);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(ErrorNumber(file.error()), file.errorString(), QStringLiteral(".ReadFile"));
        return QString();
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fail(ErrorNumber(file.error()), file.errorString(), QStringLiteral(".ReadFile"));
    }
    const QString text = Decode(bytes);
    // A line ends at CR LF, CR or LF; each comes out as CR LF, the last line's too.
    QString result;
    result.reserve(text.size() + text.size() / 16 + 2);
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            result += QStringView(text).mid(lineStart, i - lineStart);
            result += QLatin1String("\r\n");
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
                ++i;
            }
            lineStart = i + 1;
        }
    }
    if (lineStart < text.size()) {
        result += QStringView(text).mid(lineStart);
        result += QLatin1String("\r\n");
    }
    return result;
}

void clsFile::setContents(const QString& text) {
    mError = 0;
    if (QFileInfo::exists(FullName)) {
        QFile::remove(FullName);
        if (QFileInfo::exists(FullName)) {
            return;
        }
    }
    QFile file(FullName);
    if (!file.open(QIODevice::WriteOnly)) {
        fail(file.error() == QFileDevice::OpenError ? errFileNotFound : ErrorNumber(file.error()),
             file.errorString(), QStringLiteral(".WriteFile"));
        return;
    }
    const QByteArray bytes = text.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        fail(ErrorNumber(file.error()), file.errorString(), QStringLiteral(".WriteFile"));
    }
}

bool clsFile::Delete() {
    return QFile::remove(FullName);
}

void clsFile::fail(int number, const QString& description, const QString& operation) {
    mError = number;
    if (mSilent) {
        return;
    }
    ErrorHandle(mServices, host::Error(number, description, kProjectName), 0,
                QStringLiteral("clsFile") + operation + QLatin1Char(' ') + FullName, QString(), QString());
}

#include "app/save_file_writer.h"

#include "app/runtime_failure.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace velmora {

namespace {

// Text lines go to a QSaveFile, so the old file stays until close() commits the new one.
class SaveFileWriter : public TextFileWriter
{
public:
    SaveFileWriter(const QString& hostPath, std::function<QByteArray(QStringView)> encode)
        : m_file(hostPath), m_encode(std::move(encode))
    {}
    void open()
    {
        const QFileInfo info(m_file.fileName());
        if (!info.dir().exists())
            throw Failure::pathNotFound();
        if (info.isDir())
            throw Failure::pathFileAccessError();
        if (info.exists() && !info.isWritable())
            throw Failure::permissionDenied();
        if (!m_file.open(QIODevice::WriteOnly))
            throw m_file.error() == QFileDevice::PermissionsError ? Failure::permissionDenied()
                                                                  : Failure::pathFileAccessError();
    }
    void writeLine(QStringView text) override
    {
        QByteArray line = m_encode(text);
        line.append("\r\n", 2);
        if (m_file.write(line) != line.size())
            throw m_file.error() == QFileDevice::ResourceError ? Failure::diskFull()
                                                               : Failure::deviceIoError();
    }
    void close() override
    {
        if (!m_file.commit())
            throw m_file.error() == QFileDevice::ResourceError ? Failure::diskFull()
                                                               : Failure::deviceIoError();
    }

private:
    QSaveFile m_file;
    std::function<QByteArray(QStringView)> m_encode;
};

} // namespace

std::unique_ptr<TextFileWriter> openSaveFileWriter(const QString& hostPath,
                                                   std::function<QByteArray(QStringView)> encode)
{
    auto writer = std::make_unique<SaveFileWriter>(hostPath, std::move(encode));
    writer->open();
    return writer;
}

} // namespace velmora

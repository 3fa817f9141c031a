// The part of the host-specific services that is the same on every host: the address a
// shell command line opens, and the large-page hint, which leaves memory as it was. What each host
// does with the line is in tests/posix/ and tests/win/.
#include "core/platform/large_pages.h"
#include "core/platform/shell_command.h"

#include <QTest>

#include <memory>
#include <numeric>

using namespace Qt::StringLiterals;

class HostSystemTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void quotedAddress_data();
    void quotedAddress();
    void largePagesLeaveMemoryAsItWas_data();
    void largePagesLeaveMemoryAsItWas();
};

void HostSystemTest::quotedAddress_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("address");
    QTest::newRow("explorer and a quoted address")
        << u"explorer \"https://www.velmora.example/\""_s << u"https://www.velmora.example/"_s;
    QTest::newRow("quotes inside the address are kept") << u"explorer \"a\"b\""_s << u"a\"b"_s;
    QTest::newRow("no quotes") << u"explorer https://www.velmora.example/"_s << QString();
    QTest::newRow("one quote only") << u"explorer \"https://x"_s << QString();
    QTest::newRow("empty quotes") << u"explorer \"\""_s << QString();
    QTest::newRow("empty line") << QString() << QString();
}

void HostSystemTest::quotedAddress()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, address);
    QCOMPARE(velmora::quotedAddress(commandLine), address);
}

void HostSystemTest::largePagesLeaveMemoryAsItWas_data()
{
    QTest::addColumn<qsizetype>("offset"); // where in the block the advised part starts
    QTest::addColumn<qsizetype>("bytes");
    QTest::newRow("nothing") << qsizetype{0} << qsizetype{0};
    QTest::newRow("too small to be advised") << qsizetype{3} << (qsizetype{1} << 20);
    QTest::newRow("large pages inside, ends unaligned") << qsizetype{5} << (qsizetype{9} << 20) + 7;
    QTest::newRow("the whole block") << qsizetype{0} << (qsizetype{24} << 20);
}

// Memory already written keeps its bytes, inside the large pages and around them.
void HostSystemTest::largePagesLeaveMemoryAsItWas()
{
    QFETCH(qsizetype, offset);
    QFETCH(qsizetype, bytes);
    constexpr std::size_t kBlock = std::size_t{24} << 20;
    const auto block = std::make_unique<unsigned char[]>(kBlock);
    std::iota(block.get(), block.get() + kBlock, static_cast<unsigned char>(1));
    velmora::adviseLargePages(bytes == 0 ? nullptr : block.get() + offset, std::size_t(bytes));
    for (std::size_t i = 0; i < kBlock; ++i) {
        if (block[i] != static_cast<unsigned char>(i + 1))
            QFAIL(qPrintable(u"byte %1 changed"_s.arg(i)));
    }
}

QTEST_MAIN(HostSystemTest)
#include "test_host_system.moc"

#include "core/platform/ansi_code_page.h"

#include <langinfo.h>
#include <locale.h>

namespace velmora {

namespace {

// The locale the environment names (LC_ALL, else LC_CTYPE, else LANG), as setlocale(LC_ALL,
// "") sets it at the program's start, read on its own rather than from the process: Qt 6
// after Debian 12's 6.4 switches a process whose locale is not UTF-8 to a UTF-8 one as it
// starts, which would make every C or Latin-1 locale UTF-8 here. A locale the system does
// not have is the C locale, as setlocale() makes it.
CodePage environmentCodePage()
{
    const locale_t locale = newlocale(LC_CTYPE_MASK, "", locale_t{});
    if (locale == locale_t{})
        return CodePage::Windows1252;
    const CodePage codePage = codePageOfCodeset(nl_langinfo_l(CODESET, locale));
    freelocale(locale);
    return codePage;
}

// Read once: the environment does not change while the program runs, and a save asks for
// every line.
CodePage hostCodePage()
{
    static const CodePage codePage = environmentCodePage();
    return codePage;
}

} // namespace

QString decodeAnsiCodePage(QByteArrayView bytes)
{
    return decodeCodePage(hostCodePage(), bytes);
}

bool appendAnsiCodePage(QStringView text, QByteArray& bytes)
{
    return appendCodePage(hostCodePage(), text, bytes);
}

} // namespace velmora

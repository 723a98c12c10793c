// "O programie...": the program's name and version, then the maker.
#include <string>

#include "form.h"

#ifndef POM_VERSION
#error "POM_VERSION: the project's version, given by the build"
#endif

namespace pom {

namespace {

const std::string AboutTitle = "O programie... ";

const std::string AboutText = "Pomiarownik\n"
                              "Wersja " POM_VERSION "\n"
                              "TORNI Sp. z o.o.\n"
                              "ul. Przemysłowa 12\n"
                              "44-100 Gliwice\n"
                              "tel. (32) 231 00 00\n"
                              "fax (32) 231 00 01";

} // namespace

void TForm1::Oprogramie1Click()
{
    m_services.dialogs.message(AboutText, AboutTitle);
}

} // namespace pom

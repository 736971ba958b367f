// Writes the desktop entry and the MIME type the package installs, from the
// same texts the program writes when it associates itself, so the two never
// differ. Run at build time:
//   GenDesktopFiles <program path> <entry.desktop> <mime.xml>
#include <fstream>
#include <iostream>

#include "platform/FileAssociation.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: GenDesktopFiles <program path> <entry.desktop> <mime.xml>\n";
    return 2;
  }
  ludra::TFileAssociation association(argv[1], {});
  std::ofstream entry(argv[2], std::ios::binary), mime(argv[3], std::ios::binary);
  entry << association.DesktopEntryText();
  mime << ludra::TFileAssociation::MimePackageText();
  entry.close();
  mime.close();
  if (!entry || !mime) {
    std::cerr << "GenDesktopFiles: cannot write the files\n";
    return 1;
  }
  return 0;
}

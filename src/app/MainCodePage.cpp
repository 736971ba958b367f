// Options > Code Page: how the document's bytes are shown, typed and
// case-converted. Switching pages never touches the bytes themselves.
#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "app/Main.h"
#include "base/SynCodePage.h"

namespace ludra {

void TfmMain::CreateCodePageMenu() {
  miCodePage = new QMenu("Code &Page", this);
  miCodePage->setObjectName("miCodePage");
  auto* group = new QActionGroup(miCodePage);
  group->setExclusive(true);
  QString used;
  for (const TCodePage* page : CodePages()) {
    // Each name's first letter or digit that no page above took is its key.
    QString caption = QString::fromStdString(page->Name());
    for (int i = 0; i < caption.size(); ++i) {
      if (caption[i].isLetterOrNumber() && !used.contains(caption[i], Qt::CaseInsensitive)) {
        used += caption[i];
        caption.insert(i, '&');
        break;
      }
    }
    auto* action = new QAction(caption, group);
    action->setObjectName(QString("miCodePage%1").arg(page->Number()));
    action->setCheckable(true);
    action->setData(page->Number());
    int number = page->Number();
    connect(action, &QAction::triggered, this,
            [this, number] { Guarded([this, number] { miCodePageItemClick(number); }); });
    miCodePage->addAction(action);
  }
  miOptions->addMenu(miCodePage);
}

void TfmMain::ApplyCodePage(int number) {
  const TCodePage* page = FindCodePage(number);
  if (!page) page = CodePages().front();
  // A build reads names with the page's letters: none runs while it changes.
  if (catalogWorker_) WaitForCatalog();
  SetCodePage(page);
  for (QAction* action : miCodePage->actions()) {
    const QSignalBlocker block(action);
    action->setChecked(action->data().toInt() == page->Number());
  }
  // Everything shown from document bytes is shown anew.
  FunctionRows->TextsChanged();
  moCode->InvalidateAll();
  // Names may hold other letters now.
  if (catalog_) RebuildCatalog();
}

void TfmMain::miCodePageItemClick(int number) {
  ApplyCodePage(number);
  Settings().WriteInteger("Display", "CodePage", CodePage().Number());
}

}  // namespace ludra

#include "schemepage.h"

#include <QPainter>

#include "app/workbench.h"

namespace qv::gui {

SchemePage::SchemePage(Workbench& workbench, QWidget* parent)
    : DrawingArea(workbench, workbench.schemeEditor(), parent) {
    setAccessibleName(tr("Scheme drawing"));
}

void SchemePage::paintDocument(QPainter& painter) {
    workbench_.paintScheme(painter, size());
}

void SchemePage::setMapping(QPainter& painter) {
    workbench_.setSchemeMapping(painter);
}

} // namespace qv::gui

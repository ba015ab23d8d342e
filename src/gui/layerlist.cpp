#include "layerlist.h"

#include "app/operatingpoint.h"

namespace qv::gui {

LayerList::LayerList(QWidget* parent)
    : LayerList({QStringLiteral("Devices"), QStringLiteral("Nodes Labels"), QStringLiteral("Branch Labels"),
                 QStringLiteral("Devices Labels"), QStringLiteral("Drawings"),
                 QStringLiteral("Additional Layer"), kResultsLayerCaption},
                parent) {}

QStringList LayerList::vectorLayerNames() {
    return {QStringLiteral("Currents"), QStringLiteral("Potencial"), QStringLiteral("Potencial difference"),
            QStringLiteral("Labels"),   QStringLiteral("Drawing"),   QStringLiteral("Axis")};
}

LayerList::LayerList(const QStringList& names, QWidget* parent) : QListWidget(parent) {
    for (const QString& name : names) {
        auto* item = new QListWidgetItem(name, this);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    connect(this, &QListWidget::itemChanged, this, [this] { emit ticksChanged(ticks()); });
}

std::vector<bool> LayerList::ticks() const {
    std::vector<bool> t;
    for (int i = 0; i < count(); ++i)
        t.push_back(item(i)->checkState() == Qt::Checked);
    return t;
}

} // namespace qv::gui

#include "layerlist.h"

#include "app/operatingpoint.h"

namespace qv::gui {

LayerList::LayerList(QWidget* parent)
    : LayerList({tr("Devices"), tr("Nodes Labels"), tr("Branch Labels"), tr("Devices Labels"), tr("Drawings"),
                 tr("Additional Layer"),
                 QCoreApplication::translate("qv::Message", kResultsLayerCaption.toUtf8().constData())},
                parent) {}

QStringList LayerList::vectorLayerNames() {
    return {tr("Currents"), tr("Potencial"), tr("Potencial difference"),
            tr("Labels"),   tr("Drawing"),   tr("Axis")};
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

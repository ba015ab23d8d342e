#include "layerlist.h"

namespace qv::gui {

LayerList::LayerList(QWidget* parent) : QListWidget(parent) {
    const QStringList names = {QStringLiteral("Devices"),       QStringLiteral("Nodes Labels"),
                               QStringLiteral("Branch Labels"), QStringLiteral("Devices Labels"),
                               QStringLiteral("Drawings"),      QStringLiteral("Additional Layer")};
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

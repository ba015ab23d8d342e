#include "platform/dialogmodel.h"

#include <stdexcept>

namespace qv {

DialogField& DialogModel::field(const QString& id) {
    for (auto& f : fields_)
        if (f.id == id) return f;
    throw std::logic_error("no dialog field " + id.toStdString());
}

const DialogField& DialogModel::field(const QString& id) const {
    return const_cast<DialogModel*>(this)->field(id);
}

} // namespace qv

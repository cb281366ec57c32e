// SPDX-License-Identifier: MIT
#include "viewers/model_view.h"

#include "viewers/viewer_modules.h"

CModelView* CreateModelView(QString* error) {
    auto create = reinterpret_cast<CreateModelViewCall>(
        ResolveViewerModule(kModelViewModule, kCreateModelViewSymbol, error));
    return create != nullptr ? create() : nullptr;
}

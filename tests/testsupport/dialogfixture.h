// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

// The filter dialog over a test store, for the tests of the widgets layer.

#include "dialog/frmfilter.h"
#include "testsupport/descriptions.h"
#include "testsupport/storefixture.h"

#include <memory>

namespace NxSerialFilter::Testing {

/// The filter dialog in common mode with the standard fields on a screen, loaded and shown.
inline std::unique_ptr<frmFilter> openCommonDialog(const QString &screen)
{
    auto form = std::make_unique<frmFilter>();
    form->setSerialUse(false);
    form->setCommonField(standardCommonValues(screen));
    form->setScreenID(screen);
    form->Form_Load();
    form->show();
    return form;
}

} // namespace NxSerialFilter::Testing

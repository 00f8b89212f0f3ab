// How the link label and the image radio describe themselves to assistive technology
// (AT-SPI on Linux, UI Automation on Windows): a role (link, radio button, check box), a
// name (the caption), a description (the tooltip), their state and the actions a screen
// reader offers. The controls install the factory when the first of them is made and
// announce their own changes through the functions below.
#pragma once

class QString;
class QWidget;

/// Registers the accessible interfaces of TLumoUrl and TLumoRadio once per process.
void InstallLumoAccessibility();
/// `caption` as a screen reader speaks it: the accelerator's "&" dropped, "&&" read as "&".
QString SpokenCaption(const QString &caption);
/// Tells assistive technology that `control`'s caption, its name, has changed.
void AnnounceNameChange(QWidget *control);
/// Tells assistive technology that `control` was checked or unchecked.
void AnnounceCheckedChange(QWidget *control);

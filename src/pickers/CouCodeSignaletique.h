// The patient identity picker: one tree of identity fields in four groups (patient,
// spouse, insurance, free fields). Choosing a node hands "[SG : " + field + "]" to
// InsertCode, which wraps it as "£" + text + "#". The free fields show the labels the
// practice gave them in the global options; a label is for display only and never
// enters the code. The tree is built once, at creation.
#pragma once

#include "PickerForm.h"

class QTreeWidget;

class TfCouCodeSignaletique : public TfPickerForm {
    Q_OBJECT

public:
    Q_INVOKABLE explicit TfCouCodeSignaletique(TPickerHost *host);

    QTreeWidget *tvSig = nullptr;

    /// Adds the field nodes under the four groups; reads the free-field labels of
    /// GlobaleOption (empty labels when the options are not loaded).
    void FormCreate();
    /// Inserts the code of the selected node (a group node too); nothing without one.
    void tvSigDblClick();
};

// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 the Quellmar developers
#pragma once

#include <QDialog>
#include <string>

class QComboBox;
class QLineEdit;

namespace qel {

// Asks for the model and the name of a new virtual unit. OK with a name the unit cannot keep
// (empty, over 20 characters, characters outside ASCII) says so and stays open.
class AddVirtualDlg : public QDialog {
    Q_OBJECT
public:
    explicit AddVirtualDlg(QWidget* parent = nullptr);

    int modelCode() const;  // 2..4
    std::string name() const;
    QComboBox* modelBox() const { return model_; }
    QLineEdit* nameEdit() const { return name_; }
    // Empty when the name is one the unit keeps; else what is wrong with it.
    static QString nameProblem(const QString& name);

    void accept() override;

private:
    QComboBox* model_;
    QLineEdit* name_;
};

}  // namespace qel

// The practice's library of antecedent categories (ANT_ANTECEDENT): TCAntecedents holds
// them in label order as the database sorts them, for the antecedent picker, which builds
// its codes from each category's key and label. Loading reports its own errors in the
// error window and keeps what it read.
#pragma once

#include <QString>

#include <memory>
#include <vector>

class TCConnexion;

/// One antecedent category.
class TCAntecedent {
public:
    qint32 code_antecedent = 0;
    QString libelle;
};

class TCAntecedents {
public:
    /// Reads through `connexion` (not owned), or through gConnexion as it is when
    /// Charger runs when none is given.
    explicit TCAntecedents(TCConnexion *connexion = nullptr);
    ~TCAntecedents();
    TCAntecedents(const TCAntecedents &) = delete;
    TCAntecedents &operator=(const TCAntecedents &) = delete;

    /// Empties the list and reads it again. Raises nothing: an error is shown in the error
    /// window and the categories read before it stay.
    void Charger();

    const std::vector<std::unique_ptr<TCAntecedent>> &Items() const { return FItems; }
    int Count() const { return int(FItems.size()); }

private:
    TCConnexion *FConnexion;
    std::vector<std::unique_ptr<TCAntecedent>> FItems;
};

/// The process-wide antecedent library, created by the antecedent picker the first time
/// it is shown; lives until the program ends.
extern TCAntecedents *gAntecedents;

#!/usr/bin/env python3
"""Writes, in UTF-8 SQL for both engines, the data of a large practice in the schema of
tests/fixtures/db/schema.sql: questionnaires (some of them super-questionnaires, one
with 300 questions), their questions and modalities, doctors, antecedent categories and
the global options the start-up reads. Every character lies in Windows-1252.

    generate-practice.py large|medium > data.sql

medium is a tenth of large, except the questionnaire of 300 questions, which both hold,
so that the same picker work is measured against tables of another size."""
import random
import sys

SIZES = {
    #          questionnaires super questions modalities doctors antecedents
    "large": (2000, 20, 20000, 100000, 500, 300),
    "medium": (200, 2, 2000, 10000, 50, 30),
}
# The questionnaire whose 300 questions the benchmarks select and insert.
BIG_QUESTIONNAIRE = 1
BIG_QUESTIONS = 300

WORDS = ["Évaluation", "cœur", "Bilan", "Dépistage", "Gériatrie", "Suivi", "œdème", "Anamnèse",
         "Pédiatrie", "Hépatique", "Rénal", "Thyroïde", "Allergie", "Vaccin", "Ophtalmologie",
         "Électrocardiogramme", "Fièvre", "Douleur", "Sommeil", "Nutrition", "Mobilité", "Humeur"]
SPECIAL = ["£", "¤", "•", "€", "œ"]


def text(rng, count, serial):
    special = SPECIAL[serial % len(SPECIAL)]
    return " ".join(rng.choice(WORDS) for _ in range(count)) + f" {special} {serial}"


def q(value):
    if value is None:
        return "NULL"
    if isinstance(value, (int, float)):
        return repr(value)
    return "'" + value.replace("'", "''") + "'"


def row(table, values):
    return f"INSERT INTO {table} VALUES ({', '.join(q(v) for v in values)});\n"


def main():
    size = sys.argv[1] if len(sys.argv) > 1 else "large"
    n_qre, n_super, n_qon, n_mod, n_doc, n_ant = SIZES[size]
    rng = random.Random(13)
    out = sys.stdout
    write = out.write

    # Global options and groups as the start-up reads them (see tests/fixtures/db/data.sql).
    write(row("OPT_PARAM_MEDECIN", (10, -1, "GroupeReferant", None, None)))
    write(row("OPT_PARAM_MEDECIN", (11, -1, "CHAMP_LIBRE_0", 1, "Médecin traitant déclaré")))
    write(row("OPT_PARAM_MEDECIN", (12, -1, "CHAMP_LIBRE_1", 0, "Allergies connues • voir dossier")))
    for code, label, doctor in ((1, "Secrétariat", 0), (3, "Médecins généralistes", -1), (7, "Médecins spécialistes", -1)):
        write(row("GLB_GROUPE", (code, label, doctor)))
    for code, label in enumerate(["Père", "Mère", "Conjoint(e)", "Enfant", "Frère • sœur"], start=1):
        write(row("REF_TYPE_COLLATERAUX", (code, label, code, 0)))

    for code in range(1, n_doc + 1):
        group = (1, 3, 7)[code % 3]
        write(row("GLB_MEDECIN", (
            code, f"Nom{code:04d} Lefèvre", f"Hélène{code}", "Docteur", f"Médecin • secteur {code % 3} £",
            f"D{code % 1000:03d}", group, f"{code} rue des Écoles", "69003", "Lyon", "04 78 00 00 00", 1,
            None, 0, None, 0, None, 0, f"dr{code}@exemple.fr", None, None, "N", None, 1 if code % 17 == 0 else 0,
            "Consultations ¤ mardi", None, None, None, f"69{code:07d}", None, -1 if group != 1 else 0,
            None, None, 0)))

    for code in range(1, n_ant + 1):
        write(row("ANT_ANTECEDENT", (code, text(rng, 2, code))))

    # Questions: BIG_QUESTIONS of them in questionnaire 1, the others spread over the
    # ordinary questionnaires. About half are of type 2; the modalities go to those.
    ordinary = list(range(1, n_qre - n_super + 1))
    supers = list(range(n_qre - n_super + 1, n_qre + 1))
    links = []
    for question in range(1, n_qon + 1):
        if question <= BIG_QUESTIONS:
            links.append((BIG_QUESTIONNAIRE, question))
        else:
            links.append((ordinary[1 + (question - BIG_QUESTIONS - 1) % (len(ordinary) - 1)], question))

    for code in ordinary + supers:
        est_super = -1 if code in supers else 0
        members = None
        if est_super:
            members = ", ".join(str(rng.choice(ordinary[1:])) for _ in range(4)) + ";"
        label = "Bilan gériatrique complet £ ¤ • € œ" if code == BIG_QUESTIONNAIRE else text(rng, 3, code)
        write(row("QUE_QUESTIONNAIRE", (
            code, label, est_super, members, 1 if code % 100 == 0 else 0, f"QRE{code}", 1, None, 0, code % 4,
            None, None, None, None, "Résumé œ")))

    type2 = [question for question in range(1, n_qon + 1) if question % 2 == 0]
    for question in range(1, n_qon + 1):
        kind = 2 if question % 2 == 0 else (1, 3, 4, 5, 7, 9)[(question // 2) % 6]
        write(row("QUE_QUESTION", (
            question, question % 7, text(rng, 3, question), kind, None, None, 0, 0, 1, 0, 0, 0, 0, 0, 0,
            None, None, f"Q{question}", None, 0, 0, 0)))

    ordre = {}
    for serial, (questionnaire, question) in enumerate(links, start=1):
        ordre[questionnaire] = ordre.get(questionnaire, 0) + 1
        write(row("QUE_TC_QUESTIONNAIRE_QUESTION", (
            serial, questionnaire, question, ordre[questionnaire], None, 0, 2, None, 2, None, 2, None, None)))

    for code in range(1, n_mod + 1):
        question = type2[(code - 1) % len(type2)]
        write(row("QUE_MODALITE", (code, question, text(rng, 2, code), code, 0, float(code % 5), None)))

    write("COMMIT;\n")


if __name__ == "__main__":
    main()

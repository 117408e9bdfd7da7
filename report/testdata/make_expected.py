#!/usr/bin/env python3
"""Lays out the expected spools of the demo selection from the figures in
NOTES.md, which were worked out by hand from the demo data (suite/data).

This script computes no settlement: every amount below is typed in from the
hand calculation. It only knows the page layout (columns, captions, page
breaks on the line count), so that the expected files need not be typed
line by line. Run it from this folder after changing the demo data and the
figures:  python3 make_expected.py
It writes expected_ca.spool, expected_es.spool and expected_ca_n.spool
(letterhead setting "N"), code page 850 with CR LF line ends.
"""

DEVICE = "TXT:TERM01/LIQUIDACIO.TXT"

IDENTITY = {
    1: "JOSEP M. CASTELLS I VIDAL",
    2: "ADMINISTRADOR DE FINQUES COL·LEGIAT NÚM. 1234",
    3: "C. DE LA RIERA, 15, 2n 1a",
    4: "08500 VIC (BARCELONA)",
    5: "TEL. 938 851 234",
    6: "castells@finquescastells.cat",
    7: "ES40123456T",
    8: "Vic",
}

CAPTIONS = {
    "ca": {},
    "es": {
        "PÀGINA ": "PÁGINA ",
        "DETALL DE LIQUIDACIÓ": "DETALLE DE LIQUIDACIÓN",
        " DES DEL ": " DESDE EL ",
        " FINS AL ": " HASTA EL ",
        "CORRESPONENT A LA COMUNITAT DE PROPIETARIS (": "CORRESPONDIENTE A LA COMUNIDAD DE PROPIETARIOS (",
        "DEL DEPARTAMENT (": "DEL DEPARTAMENTO (",
        "RÒSSEC ANTERIOR A FAVOR ": "SALDO ANTERIOR A FAVOR ",
        "RÒSSEC ACTUAL A FAVOR ": "SALDO ACTUAL A FAVOR ",
        "DE L'ADMINISTRADOR": "DEL ADMINISTRADOR",
        "DEL PROPIETARI": "DEL PROPIETARIO",
        "PARTICIPACIÓ DESPESES ": "PARTICIPACIÓN GASTOS ",
        "SEGONS COEFICIENT GENERAL": "SEGÚN COEFICIENTE GENERAL",
        "DESPESES PARTICULARS :": "GASTOS PARTICULARES :",
        "TOTAL DESPESES ": "TOTAL GASTOS ",
        "TOTAL FONS ": "TOTAL FONDOS ",
        "SUMEN ": "SUMAN ",
    },
}

# Dates as the program writes them in the long form (upper-cased in the title).
DATES = {
    "ca": {"20261001": "1 d'octubre del 2026", "20260701": "1 de juliol del 2026",
           "20261231": "31 de desembre del 2026"},
    "es": {"20261001": "1 de octubre de 2026", "20260701": "1 de julio de 2026",
           "20261231": "31 de diciembre de 2026"},
}

# Communities: code, display name, first day of the period (None: never
# settled), names of groups 2..7 as stored (30 characters).
COMMUNITIES = {
    1: ("L'ERA D'EN PUJOL", "20261001", ["ESCALA", "ASCENSOR", "", "", "", ""]),
    2: ("EL MOLÍ VELL", "20260701", ["SERVEIS COMUNS", "GARATGE", "PISCINA", "", "", ""]),
    3: ("RAMBLA NOVA, 23", None, ["", "", "", "", "", ""]),
}

# Particular lines: (expense type description, payment text, amount). The
# payment of type 0010 has no expense type: no description.
def lines_c1_d4():
    return [("REPARACIONS", "CANVI PANY PORTA", 8500), ("", "CÒPIA CLAUS", 1200)]

def lines_c2_d2():
    return [("REPARACIONS", "REPARACIÓ PERSIANA", 15000)]

def lines_c2_d9():
    return [("AIGUA", "LECTURA COMPTADOR %02d" % i, 2500) for i in range(1, 34)]

# The hand-worked figures (NOTES.md): community, department, designation,
# owner in display form, carried-over balance DeptAmount(0), shares of
# groups 1..7, particular lines, total expenses, funds, current balance.
DEPARTMENTS = [
    (1, 1, "LOCAL 1", "FARMÀCIA SOLER, S.L.", 0, [6806, 6312, 0, 0, 0, 0, 0], [], 13118, 18000, 4882),
    (1, 2, "LOCAL 2", "MARIA ROVIRA I CASALS", -6000, [6806, 6438, 0, 0, 0, 0, 0], [], 13244, 18000, -1244),
    (1, 3, "1r 1a", "JOAN PUJOL I FERRER", 3000, [6806, 6250, 3750, 0, 0, 0, 0], [], 16806, 18000, 4194),
    (1, 4, "1r 2a", "ANNA GARCIA MARTÍNEZ", 0, [6806, 6250, 3750, 0, 0, 0, 0], lines_c1_d4(), 26506, 16500, -10006),
    (1, 5, "2n 1a", "JORDI VILA", -4500, [5445, 6250, 3750, 0, 0, 0, 0], [], 15445, 19945, 0),
    (1, 6, "2n 2a", "MONTSERRAT SERRA I BOSCH", 0, [5445, 6250, 3750, 0, 0, 0, 0], [], 15445, 15000, -445),
    (1, 7, "3r 1a", "PERE COLL", -5000, [5445, 6250, 3750, 0, 0, 0, 0], [], 15445, 15000, -5445),
    (1, 8, "3r 2a", "NÚRIA FONT I VIDAL", 800, [4084, 6250, 3750, 0, 0, 0, 0], [], 14084, 15000, 1716),
    (1, 9, "ÀTIC 1a", "L'OLIVERA, SCCL", 0, [4084, 6250, 3750, 0, 0, 0, 0], [], 14084, 17000, 2916),
    (1, 10, "ÀTIC 2a", "ROSA MASSAGUÉ I RIBAS", -5000, [2722, 6000, 3750, 0, 0, 0, 0], [], 12472, 10000, -7472),
    (2, 1, "1r 1a", "JAUME BOSCH I PLANAS", 0, [20518, 15645, 11498, 0, 0, 0, 0], [], 47661, 50000, 2339),
    (2, 2, "1r 2a", "LAIA CASTELLS", 2500, [20518, 15645, 11498, 0, 0, 0, 0], lines_c2_d2(), 62661, 50000, -10161),
    (2, 3, "2n 1a", "FRANCESC DOMÈNECH", -25000, [18809, 15645, 11498, 0, 0, 0, 0], [], 45952, 46000, -24952),
    (2, 4, "2n 2a", "CARME ESTEVE I MIR", -23000, [18809, 15645, 11498, 0, 0, 0, 0], [], 45952, 23000, -45952),
    (2, 5, "3r 1a", "ORIOL FIGUERAS", 0, [18809, 15645, 0, 0, 0, 0, 0], [], 34454, 42000, 7546),
    (2, 6, "3r 2a", "MERCÈ GRAU", 0, [18809, 15645, 0, 0, 0, 0, 0], [], 34454, 42000, 7546),
    (2, 7, "4t 1a", "ALBERT HOMS I PUIG", 1000, [18809, 15645, 0, 0, 0, 0, 0], [], 34454, 42000, 8546),
    (2, 8, "4t 2a", "TERESA JUNYENT", 0, [18809, 15645, 0, 0, 0, 0, 0], [], 34454, 39000, 4546),
    (2, 9, "LOCAL", "EL FORN DEL MOLÍ, S.L.", 0, [17099, 15645, 0, 0, 0, 0, 0], lines_c2_d9(), 115244, 80000, -35244),
    (3, 1, "BAIXOS", "PAU SALA", 0, [12000, 0, 0, 0, 0, 0, 0], [], 12000, 12000, 0),
    (3, 2, "ENTRESOL", "EULÀLIA TORRES I NADAL", 0, [12000, 0, 0, 0, 0, 0, 0], [], 12000, 0, -12000),
    (3, 3, "1r", "ISIDRE VALLS", 0, [9000, 0, 0, 0, 0, 0, 0], [], 9000, 10000, 1000),
    (3, 4, "2n", "LLUÍS XAMMAR", 0, [9000, 0, 0, 0, 0, 0, 0], [], 9000, 0, -9000),
    (3, 5, "3r", "DOLORS ARMENGOL", 0, [9000, 0, 0, 0, 0, 0, 0], [], 9000, 9000, 0),
    (3, 6, "4t", "MIQUEL BATLLE", -1500, [9000, 0, 0, 0, 0, 0, 0], [], 9000, 0, -10500),
]


def money(hundredths):
    """An amount as MoneyFormat shows it under "ZZ,ZZZ,ZZ9" in euros with the
    demo's separators (decimal ",", thousands ".")."""
    sign = "-" if hundredths < 0 else ""
    v = abs(hundredths)
    units, cents = divmod(v, 100)
    groups = "{:,}".format(units).replace(",", ".")
    return (sign + groups + "," + "%02d" % cents).rjust(10)


def num(n):
    return ("-" if n < 0 else " ") + str(abs(n)) + " "


class Spool:
    def __init__(self, lang, letterhead):
        self.lang = lang
        self.letterhead = letterhead
        until = DATES[lang]["20261231"].upper()
        self.out = ["DEVICE" + DEVICE,
                    "*@TITOL " + self.t("DETALL DE LIQUIDACIÓ") + self.t(" FINS AL ") + until,
                    "*@NOM LIQUIDACIO_2026-12-31"]
        self.count = 0
        self.page = 0

    def t(self, text):
        return CAPTIONS[self.lang].get(text, text)

    def line(self, col, text, adv):
        self.out.append(num(col) + "," + text + "," + num(adv))
        self.count += adv

    def jus(self, code):
        self.out.append("JUS" + code)

    def new_page(self):
        self.out.append("PAGE" + num(66))
        self.out.append("*@e")
        self.count = 0

    def page_text(self):
        return self.t("PÀGINA ") + str(self.page).rjust(4)

    def header(self, dept):
        c, d, desig, owner, bal, shares, lines, total, funds, current = dept
        name, start, groups = COMMUNITIES[c]
        self.page += 1
        self.new_page()
        if self.page > 1:
            if self.letterhead == "N":
                self.jus("D"); self.line(85, self.page_text(), 9); self.line(1, name, 2)
            else:
                self.line(1, name, 0); self.jus("D"); self.line(85, self.page_text(), 2)
            return
        if self.letterhead == "N":
            self.jus("D"); self.line(85, self.page_text(), 9)
        else:
            self.line(1, IDENTITY[1], 0); self.jus("D"); self.line(85, self.page_text(), 1)
            self.line(0, IDENTITY[6], 1)
            for i in (2, 3, 4, 5):
                self.line(1, IDENTITY[i], 1)
            self.line(1, "N.I.F. " + IDENTITY[7], 2)
        title = self.t("DETALL DE LIQUIDACIÓ")
        if start:
            title += self.t(" DES DEL ") + DATES[self.lang][start].upper()
        title += self.t(" FINS AL ") + DATES[self.lang]["20261231"].upper()
        self.centred(title, 1)
        self.centred(self.t("CORRESPONENT A LA COMUNITAT DE PROPIETARIS (") + str(c) + ") " + name, 1)
        dl = self.t("DEL DEPARTAMENT (") + str(d) + ") " + desig + " " + owner
        self.centred(dl, 1)
        self.centred("=" * len(dl), 2)
        self.line(31, self.t("RÒSSEC ANTERIOR A FAVOR ") + self.favour(bal), 0)
        self.jus("D"); self.line(75, money(-bal), 2)
        names = [self.t("SEGONS COEFICIENT GENERAL")] + [g.ljust(30) for g in groups]
        for g in range(7):
            self.line(1, self.t("PARTICIPACIÓ DESPESES ") + " < " + "ABCDEFG"[g] + " > " + names[g], 0)
            self.jus("D"); self.line(64, money(shares[g]), 2)
        if lines:
            self.line(1, self.t("DESPESES PARTICULARS :"), 2)

    def favour(self, balance):
        return self.t("DE L'ADMINISTRADOR") if balance < 0 else self.t("DEL PROPIETARI")

    def centred(self, text, adv):
        self.line(int((96 - len(text)) / 2), text, adv)

    def department(self, dept):
        c, d, desig, owner, bal, shares, lines, total, funds, current = dept
        assert sum(shares) + sum(a for _, _, a in lines) == total, (c, d)
        assert funds + bal - total == current, (c, d)
        self.page = 0
        # The department mark: the figures, TAB between them, before the
        # department's first page.
        self.out.append("*@DEPARTAMENT " + "\t".join(
            ["%04d" % c, COMMUNITIES[c][0], "%04d" % d, desig, owner, str(bal), str(total),
             str(funds), str(current), self.favour(current)]))
        for desc, text, amount in lines:
            if self.page == 0: self.header(dept)
            if self.count > 60: self.header(dept)
            # description + " " + the 25-character payment text as stored
            self.line(1, (desc + " " if desc else "") + text.ljust(25), 0)
            self.jus("D"); self.line(64, money(amount), 1)
        if self.page == 0: self.header(dept)
        fill = "N 73 \\.\\"
        self.line(64, "-" * 10, 1)
        if self.count > 60: self.header(dept)
        self.jus(fill); self.line(31, self.t("TOTAL DESPESES "), 0); self.jus("D"); self.line(75, money(total), 1)
        if self.count > 59: self.header(dept)
        self.jus(fill); self.line(31, self.t("TOTAL FONS "), 0); self.jus("D"); self.line(86, money(funds), 1)
        self.line(74, "-" * 22, 1)
        if self.count > 59: self.header(dept)
        self.jus(fill); self.line(31, self.t("SUMEN "), 0); self.jus("D")
        self.line(75, money(total - bal), 0); self.line(86, money(funds), 2)
        if self.count > 57: self.header(dept)
        self.line(31, self.t("RÒSSEC ACTUAL A FAVOR ") + self.favour(current), 0)
        self.jus("D"); self.line(86, money(abs(current)), 1)
        self.line(31, "=" * 65, 2)
        place = IDENTITY[8] + ", " + DATES[self.lang]["20261231"]
        self.jus("D"); self.line(96 - len(place), place, 1)


def write(name, lang, letterhead=""):
    s = Spool(lang, letterhead)
    for dept in DEPARTMENTS:
        s.department(dept)
    data = "".join(l + "\r\n" for l in s.out)
    with open(name, "wb") as f:
        f.write(data.encode("cp850"))


if __name__ == "__main__":
    write("expected_ca.spool", "ca")
    write("expected_es.spool", "es")
    write("expected_ca_n.spool", "ca", "N")

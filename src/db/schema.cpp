#include "schema.h"

namespace schema {
namespace {

using T = ColumnType;

const std::vector<Table> allTables = {
    {"Clienti",
     {
      {"id", T::Id}, {"id_firma", T::Int32}, {"NumeFirma", T::Text, 100}, {"CUI", T::Text, 50},
      {"RegCom", T::Text, 50}, {"Sediul", T::Text, 100}, {"Localitate", T::Text, 50},
      {"Judet", T::Text, 50}, {"Tara", T::Text, 100}, {"Codpostal", T::Text, 20},
      {"AdresaCorespondenta", T::Text, 100}, {"AdrsPctLucru", T::Text, 100},
      {"email", T::Text, 50}, {"Telefon", T::Text, 20}, {"Mobil", T::Text, 15},
      {"Contact", T::Text, 50}, {"Comentariu", T::Text, 50}, {"Diverse", T::Text, 50},
      {"Zona", T::Text, 20}, {"DataIn", T::DateTime}, {"Sold", T::Money},
      {"Aplatitpanape", T::DateTime}, {"Reprezentataprin", T::Text, 80},
      {"Functia", T::Text, 50}, {"CapitalSoc", T::Int32}, {"Program", T::Text, 255},
      {"SeriaBuletin", T::Text, 8}, {"NrBuletin", T::Text, 13}, {"Sectia", T::Text, 15},
      {"emitent", T::Bool}, {"client", T::Bool}, {"furnizor", T::Bool}, {"tipstoc", T::UInt8},
      {"tipTaxa", T::Bool}, {"smtphost", T::Text, 50}, {"smtpport", T::Int16},
      {"smtplogin", T::Text, 50}, {"smtppassword", T::Text, 20}, {"smtpSSL", T::Bool},
      {"smtpAuth", T::Bool}, {"smtpDigSign", T::Bool}
     }},
    {"SeriiActe",
     {
      {"id", T::Id}, {"id_firma", T::Int32}, {"DenumirePunctLucru", T::Text, 255},
      {"AbrevierePunctLucru", T::Text, 255}, {"AdresaPunctLucru", T::Text, 255},
      {"BifaDefault", T::Bool}, {"SerieFactura", T::Text, 20}, {"NrFactura", T::Int32},
      {"SerieAviz", T::Text, 20}, {"NrAviz", T::Int32}, {"SerieChitanta", T::Text, 20},
      {"NrChitanta", T::Int32}, {"SerieDispozdeincasare", T::Text, 20},
      {"Dispozitiedeincasareplata", T::Int16}, {"serienir", T::Text, 5}, {"nrnir", T::Int32},
      {"seriebc", T::Text, 5}, {"nrbc", T::Int32}, {"NrFisaService", T::Int32},
      {"id_moneda", T::Int32}, {"CaleFPRINT", T::Text, 255}
     }},
    {"Monede",
     {
      {"ID", T::Id}, {"CodIso", T::Text, 3}, {"Nrzecimale", T::UInt8}, {"Ordine", T::Int16},
      {"Simbol", T::Text, 50}, {"Fractie", T::Text, 20}, {"Raportmonedafractie", T::Text, 10},
      {"BifaDefault", T::Bool}
     }},
    {"Mentiuni_Facturi",
     {
      {"ID", T::Id}, {"Mentiune", T::Text, 100}, {"CotaTVA", T::Double}, {"BifaDefault", T::Bool}
     }},
    {"IntervalFacturare",
     {
      {"ID", T::Id}, {"Interval", T::Text, 255}, {"Nrzile", T::Int16}
     }},
    {"Angajati",
     {
      {"id", T::Id}, {"id_firma", T::Int32}, {"Nume", T::Text, 50}, {"Prenume", T::Text, 50},
      {"Bifa", T::Bool}, {"Parola", T::Text, 255} /* salted hash */, {"Telefon", T::Text, 50},
      {"Email", T::Text, 50}, {"Adresa", T::Text, 100}, {"CNP", T::Text, 30},
      {"SerieCI", T::Text, 5}, {"NrCI", T::Text, 10}, {"Sectia", T::Text, 15},
      {"DataNasterii", T::DateTime}, {"DataAngajarii", T::DateTime}
     }},
    {"Delegati",
     {
      {"id", T::Id}, {"id_firma", T::Int32}, {"Nume", T::Text, 50}, {"Prenume", T::Text, 50},
      {"CNP", T::Text, 15}, {"SerieCI", T::Text, 5}, {"NrCI", T::Text, 10},
      {"Sectia", T::Text, 15}, {"Telefon", T::Text, 50}, {"Email", T::Text, 50},
      {"Adresa", T::Text, 100}, {"DataNasterii", T::DateTime}, {"DataAngajarii", T::DateTime},
      {"Bifa", T::Bool}
     }},
    {"Conturi",
     {
      {"ID", T::Id}, {"id_firma", T::Int32}, {"Banca", T::Text, 50}, {"Cont", T::Text, 50},
      {"Swift", T::Text, 50}
     }},
    {"DetaliiClienti",
     {
      {"ID", T::Id}, {"id_client", T::Int32}, {"Echipament", T::Text, 50},
      {"AdresaEchipament", T::Text, 50}, {"FormaProprietate", T::Text, 50}, {"Mac", T::Text, 50},
      {"IP", T::Text, 50}, {"Intelegeri", T::Text, 50}
     }},
    {"Rapoarte",
     {
      {"ID", T::Id}, {"id_firma", T::Int32}, {"titluRaport", T::Text, 50}, {"Raport", T::Blob}
     }},
    {"CatFactIn",
     {
      {"id", T::Id}, {"id_firma", T::Int32}, {"CategorieFacturi", T::Text, 80},
      {"Cod", T::Text, 10}, {"venit", T::Bool}
     }},
    {"Metodedeplata",
     {
      {"Valoare", T::Id}, {"Denumire", T::Text, 50}
     }},
    {"UM",
     {
      {"id", T::Id}, {"UM", T::Text, 50}
     }},
    {"Istoric",
     {
      {"ID", T::Id}, {"Vers", T::Text, 10}, {"Data", T::DateTime}, {"Descriere", T::Text, 255}
     }},
    {"Facturi",
     {
      {"id", T::Id}, {"Nf", T::Int32}, {"SeriaF", T::Text, 20}, {"Data", T::DateTime},
      {"Tipavizfactura", T::Int16}, {"id_cump", T::Int32}, {"id_vanzator", T::Int32},
      {"id_punctlucru", T::Int32}, {"id_magazie", T::Int16}, {"id_nrcontract", T::Int32},
      {"Contract", T::Text, 50}, {"TipFact", T::Int16}, {"TVATEXT", T::Text, 100},
      {"MonedaFacturii", T::Text, 3}, {"MonedaContract", T::Text, 3}, {"ValoareCurs", T::Money},
      {"ProcentCurs", T::Int16}, {"ModPlata", T::Text, 50}, {"Termenplata", T::DateTime},
      {"SumaAchitat", T::Money}, {"Achitata", T::Bool}, {"Validata", T::Bool},
      {"Anulata", T::Bool}, {"Stornata", T::Bool}, {"Comentariu", T::Text, 70},
      {"Operator", T::Text, 60}, {"CNP", T::Text, 15}, {"NumeDelegat", T::Text, 50},
      {"DelegatCNP", T::Text, 15}, {"SeriaBuletin", T::Text, 8}, {"NrBuletin", T::Text, 13},
      {"Sectia", T::Text, 15}, {"Transport", T::Text, 25}, {"Auto", T::Text, 10},
      {"DataExped", T::DateTime}, {"DataComenzii", T::DateTime}, {"DataLivrarii", T::DateTime},
      {"TermeniLivrare", T::Text, 100}, {"Greutate", T::Text, 50}, {"Volum", T::Text, 50},
      {"Licenta", T::Text, 50}, {"LunaFacturata", T::Text, 20}, {"AnFacturat", T::Int16},
      {"NRAVIZ", T::Int16}, {"NIR", T::Int16}, {"SeriaNIR", T::Text, 10}, {"BC", T::Int16},
      {"SeriaBC", T::Text, 10}, {"eNIR", T::Bool}, {"InOut", T::Bool},
      {"CatCheltuiala", T::Int16}, {"actualizarestoc", T::Bool}, {"id_cont_client", T::Int32},
      {"id_cont_furnizor", T::Int32}
     }},
    {"ProdCumparate",
     {
      {"id", T::Id}, {"id_fact", T::Int32}, {"id_vanzator", T::Int32},
      {"id_cumparator", T::Int32}, {"id_magazie", T::Int16}, {"id_produs_lista", T::Int32},
      {"id_actin", T::Int32}, {"codm", T::Int32}, {"Denumire", T::Text, 255},
      {"UM", T::Text, 10}, {"Serie", T::Text, 50}, {"Cnt", T::Double}, {"CntOut", T::Double},
      {"Adaos", T::Double}, {"adinStoc", T::Bool}, {"PUnIn", T::Money}, {"Valoare", T::Money},
      {"ValoareTVA", T::Money}, {"TotalIn", T::Money}, {"cotaTVAIn", T::Money},
      {"monedaIn", T::Text, 3}, {"CursIn", T::Money}, {"nrzecIN", T::UInt8}, {"PUOut", T::Money},
      {"ValOut", T::Money}, {"ValTVAOut", T::Money}, {"TotalOut", T::Money},
      {"cotaTVAOut", T::Money}, {"monedaOut", T::Text, 3}, {"CursOut", T::Money},
      {"nrzecOUT", T::UInt8}, {"PUInMM", T::Money}, {"ValInMM", T::Money},
      {"ValTVAInMM", T::Money}, {"TotalInMM", T::Money}, {"PUnitaroutMM", T::Money},
      {"ValOutMM", T::Money}, {"ValTVAOutMM", T::Money}, {"TotaloutMM", T::Money},
      {"monedaMM", T::Text, 3}, {"nrzecMM", T::UInt8}, {"Stoc", T::Double},
      {"Stoc_valoric", T::Money}, {"Stoc_valoricMM", T::Money}, {"Stoc_istoric", T::Double},
      {"Stoc_valoric_istoric", T::Money}, {"Stoc_valoric_istoricMM", T::Money},
      {"ValoareMagazieIesire", T::Money}, {"ValoareMagazieIesireMM", T::Money}
     }},
    {"Incasari",
     {
      {"id", T::Id}, {"id_fact", T::Int32}, {"id_cumparator", T::Int32}, {"id_firma", T::Int32},
      {"id_punctlucru", T::Int32}, {"NrChit", T::Int32}, {"Seria", T::Text, 50},
      {"Data", T::DateTime}, {"ModPlata", T::Text, 50}, {"Suma", T::Money},
      {"Sumaliteral", T::Text, 100}, {"Reprezentand", T::Text, 100}, {"Comentariu", T::Text, 50},
      {"Operator", T::Text, 50}, {"moneda", T::Text, 3}, {"Nrzecimale", T::UInt8},
      {"Curs", T::Double}, {"SumaMM", T::Money}, {"MonedaMM", T::Text, 3}, {"NrZecMM", T::UInt8},
      {"banca", T::Text, 50}, {"Anulata", T::Int16}
     }},
    {"Plati",
     {
      {"id", T::Id}, {"id_fact", T::Int32}, {"id_cumparator", T::Int32}, {"id_firma", T::Int32},
      {"id_punctlucru", T::Int32}, {"NrChit", T::Int32}, {"Seria", T::Text, 50},
      {"Data", T::DateTime}, {"ModPlata", T::Text, 50}, {"Suma", T::Money},
      {"Sumaliteral", T::Text, 100}, {"Reprezentand", T::Text, 100}, {"Comentariu", T::Text, 50},
      {"Operator", T::Text, 50}, {"moneda", T::Text, 3}, {"Nrzecimale", T::UInt8},
      {"Curs", T::Double}, {"SumaMM", T::Money}, {"MonedaMM", T::Text, 3}, {"NrZecMM", T::UInt8},
      {"banca", T::Text, 50}, {"Anulata", T::Int16}
     }},
    {"Categorii",
     {
      {"id", T::Id}, {"id_firma", T::Int32}, {"Categorie", T::Text, 50}
     }},
    {"Sortimente",
     {
      {"id", T::Id}, {"id_categorie", T::Int32}, {"Categorie", T::Text, 50}
     }},
    {"ListaProduse",
     {
      {"id", T::Id}, {"id_sort", T::Int32}, {"DenPr", T::Text, 255}, {"UM", T::Text, 10},
      {"Serie", T::Text, 50}, {"CodCSM", T::Int16}, {"Pret", T::Money}, {"PretIn", T::Money},
      {"cotaTVA", T::Money}, {"Cantit", T::Double}, {"ValoareLei", T::Money}, {"TVA", T::Money},
      {"TotalLei", T::Money}, {"PretUTVA", T::Money}, {"moneda", T::Text, 10},
      {"NrZecimale", T::UInt8}, {"id_furnizor", T::Int16}, {"Furnizor", T::Text, 50},
      {"Data_start", T::DateTime}, {"Data_stop", T::DateTime}, {"NrAct", T::Int16},
      {"GarantieOUT", T::UInt8}
     }},
    {"CategoriiStocuri",
     {
      {"id", T::Id}, {"id_firma", T::Int32}, {"Categorie", T::Text, 50}
     }},
    {"SubcategoriiStocuri",
     {
      {"id", T::Id}, {"id_categorie", T::Int32}, {"Categorie", T::Text, 50}
     }},
    {"tmpStoc",
     {
      {"Denumire", T::Text, 100}, {"Um", T::Text, 10}, {"StocCant", T::Double},
      {"stocvaloric", T::Money}, {"categorie", T::Text, 50}, {"data", T::DateTime},
      {"pc_id", T::Int32}, {"id_firma", T::Int32}
     }},
    {"Contracte",
     {
      {"id", T::Id}, {"id_firma", T::Int32}, {"id_punctlucru", T::Int32}, {"id_cump", T::Int32},
      {"Nr", T::Text, 15}, {"Data", T::DateTime}, {"DataStart", T::DateTime},
      {"DataStop", T::DateTime}, {"Stare", T::UInt8}, {"TipFact", T::UInt8},
      {"ModPlata", T::Text, 50}, {"Termenplata", T::UInt8}, {"TermenPlataContract", T::DateTime},
      {"Periodicitatefactura", T::Text, 255}, {"Intervalfacturarezile", T::UInt8},
      {"Dataemiteriifacturii", T::Text, 255}, {"MonedaContract", T::Text, 3},
      {"NRZecimaleContract", T::UInt8}, {"MonedaFactura", T::Text, 3},
      {"NRZecimaleFactura", T::UInt8}, {"TextContract", T::Memo}, {"Aplatitpanape", T::DateTime},
      {"DataUltimeiPlati", T::DateTime}, {"UltimaIncasare", T::DateTime},
      {"DataUltimeiFacturiemise", T::DateTime}, {"DataStartSuspendare", T::DateTime},
      {"DataStopSuspendare", T::DateTime}, {"DataRezilierii", T::DateTime},
      {"DataDebransarii", T::DateTime}, {"Operator", T::Text, 100}, {"Comentariu", T::Text, 100}
     }},
    {"ServiciipeContract",
     {
      {"id", T::Id}, {"id_contract", T::Int32}, {"id_produs_lista", T::Int32},
      {"id_magazie", T::Double}, {"id_actin", T::Int32}, {"codm", T::Int32},
      {"Denumire", T::Text, 255}, {"UM", T::Text, 10}, {"Serie", T::Text, 50},
      {"Cantitate", T::Double}, {"PretUnitar", T::Money}, {"pretin", T::Money},
      {"cotaTVA", T::Money}, {"Valoare", T::Money}, {"ValoareTVA", T::Money},
      {"Total", T::Money}, {"MonedaContract", T::Text, 3}, {"NRZecimaleContract", T::UInt8},
      {"MonedaFactura", T::Text, 3}, {"NRZecimaleFactura", T::UInt8}, {"monedaMM", T::Text, 3},
      {"PUnitaroutMM", T::Money}, {"ValOutMM", T::Money}, {"ValTVAOutMM", T::Money},
      {"TotalOutMM", T::Money}
     }},
    {"ServiciipeContractDetaliat",
     {
      {"id", T::Id}, {"id_contract", T::Int32}, {"lunaan", T::Text, 250}, {"data", T::DateTime},
      {"achitat", T::Bool}, {"Denumire", T::Text, 255}, {"UM", T::Text, 10},
      {"Serie", T::Text, 50}, {"id_produs_lista", T::Int32}, {"id_actin", T::Int32},
      {"codm", T::Int32}, {"id_magazie", T::Double}, {"Cantitate", T::Double},
      {"PretUnitar", T::Money}, {"pretin", T::Money}, {"cotaTVA", T::Money},
      {"Valoare", T::Money}, {"ValoareTVA", T::Money}, {"Total", T::Money},
      {"MonedaContract", T::Text, 3}, {"NRZecimaleContract", T::UInt8},
      {"MonedaFactura", T::Text, 3}, {"NRZecimaleFactura", T::UInt8}
     }},
    {"ModeleContract",
     {
      {"id", T::Id}, {"id_firma", T::Int32}, {"Titlu", T::Text, 50}, {"TextContract", T::Memo},
      {"SerieContract", T::Text, 255}, {"NrContract", T::Int32}
     }},
    {"LuniGratuite",
     {
      {"id", T::Id}, {"id_contract", T::Int32}, {"luna", T::Text, 20}, {"an", T::Text, 4}
     }},
    {"RegistruCasaSold",
     {
      {"id", T::Id}, {"id_firma", T::Int32}, {"id_punctlucru", T::Int32}, {"Moneda", T::Text, 3},
      {"NrZec", T::UInt8}, {"Data", T::DateTime}, {"NrFisa", T::Int32}, {"Sold", T::Money},
      {"Incasari", T::Money}, {"PLati", T::Money}, {"Total", T::Money}
     }},
    {"RegistrulCasaDetalii",
     {
      {"id", T::Id}, {"id_fisa", T::Int32}, {"id_firma", T::Int32},
      {"id_incasare_Vorlesk", T::Int32}, {"id_Disp_Plata", T::Int32}, {"id_categ", T::Int16},
      {"nractcasa", T::Text, 30}, {"nranexa", T::Text, 30}, {"explicatii", T::Text, 100},
      {"simbolcont", T::Text, 30}, {"incasari", T::Money}, {"plati", T::Money},
      {"Moneda", T::Text, 3}, {"NrZecimale", T::UInt8}
     }},
    {"Fise",
     {
      {"id", T::Id}, {"id_firma", T::Int32}, {"Nr", T::Int32}, {"DataIn", T::DateTime},
      {"Dataout", T::DateTime}, {"id_client", T::Int32}, {"id_operator", T::Int32},
      {"id_tehnician", T::Int32}, {"id_componenta", T::Int32}, {"Model", T::Text, 100},
      {"CodIMEI", T::Text, 50}, {"Status", T::UInt8}, {"Garantie", T::Bool},
      {"Costuri", T::Money}, {"facturat", T::Bool}, {"Geanta", T::Bool}, {"Incarcator", T::Bool},
      {"SerieIncarcator", T::Text, 50}, {"PornesteNotOk", T::Bool}, {"TReteaNotOk", T::Bool},
      {"BaterieNotOk", T::Bool}, {"TIntreruperi", T::Bool}, {"TastaturaNotOk", T::Bool},
      {"Display", T::Bool}, {"CarcasaNotOk", T::Bool}, {"SoftNotOk", T::Bool},
      {"PBooteaza", T::Bool}, {"NtldrMissing", T::Bool}, {"SistemVirusat", T::Bool},
      {"Descriere", T::Memo}, {"Reparatii", T::Memo}
     }},
    {"Componente",
     {
      {"ID", T::Id}, {"Denumire", T::Text, 100}
     }},
    {"Producatori",
     {
      {"id", T::Id}, {"Producatori", T::Text, 50}
     }},
    {"CategActeExpira",
     {
      {"ID", T::Id}, {"id_firma", T::Int32}, {"denumire", T::Text, 80}
     }},
    {"ActeExpira",
     {
      {"ID", T::Id}, {"id_vanzator", T::Int32}, {"id_cumparator", T::Int32},
      {"id_categorie", T::Int32}, {"denumire", T::Text, 80}, {"data", T::DateTime},
      {"dataexp", T::DateTime}, {"comentarii", T::Text, 50}
     }},
};

const std::vector<Index> allIndexes = {
    {"ix_clienti_firma", "Clienti", "id_firma, NumeFirma"},
    {"ix_clienti_emitent", "Clienti", "emitent"},
    {"ix_seriiacte_firma", "SeriiActe", "id_firma"},
    {"ix_angajati_firma", "Angajati", "id_firma"},
    {"ix_delegati_firma", "Delegati", "id_firma"},
    {"ix_conturi_firma", "Conturi", "id_firma"},
    {"ix_detaliiclienti_client", "DetaliiClienti", "id_client"},
    {"ix_rapoarte_firma_titlu", "Rapoarte", "id_firma, titluRaport"},
    {"ix_catfactin_firma", "CatFactIn", "id_firma"},
    {"ix_facturi_perioada", "Facturi", "id_vanzator, Tipavizfactura, id_punctlucru, Data"},
    {"ix_facturi_partener", "Facturi", "id_cump, id_vanzator, Tipavizfactura, Data"},
    {"ix_facturi_numar", "Facturi", "id_vanzator, id_punctlucru, Tipavizfactura, Nf"},
    {"ix_prodcumparate_fact", "ProdCumparate", "id_fact"},
    {"ix_prodcumparate_produs", "ProdCumparate", "Denumire, id_fact"},
    {"ix_prodcumparate_actin", "ProdCumparate", "id_actin"},
    {"ix_prodcumparate_stoc", "ProdCumparate", "Denumire, Stoc"},
    {"ix_prodcumparate_magazie", "ProdCumparate", "id_magazie, Stoc"},
    {"ix_incasari_fact", "Incasari", "id_fact"},
    {"ix_incasari_partener", "Incasari", "id_cumparator, id_firma, Data"},
    {"ix_plati_fact", "Plati", "id_fact"},
    {"ix_plati_partener", "Plati", "id_cumparator, id_firma, Data"},
    {"ix_categorii_firma", "Categorii", "id_firma"},
    {"ix_sortimente_categorie", "Sortimente", "id_categorie"},
    {"ix_listaproduse_sort", "ListaProduse", "id_sort"},
    {"ix_categoriistocuri_firma", "CategoriiStocuri", "id_firma"},
    {"ix_subcategoriistocuri_categorie", "SubcategoriiStocuri", "id_categorie"},
    {"ix_tmpstoc_firma", "tmpStoc", "id_firma, Denumire"},
    {"ix_contracte_client", "Contracte", "id_cump, id_firma"},
    {"ix_serviciicontract_contract", "ServiciipeContract", "id_contract"},
    {"ix_serviciidetaliat_contract", "ServiciipeContractDetaliat", "id_contract"},
    {"ix_modelecontract_firma", "ModeleContract", "id_firma"},
    {"ix_lunigratuite_contract", "LuniGratuite", "id_contract"},
    {"ix_registrucasa_fisa", "RegistruCasaSold", "id_firma, Moneda, id_punctlucru, Data"},
    {"ix_registrucasa_detalii", "RegistrulCasaDetalii", "id_fisa"},
    {"ix_fise_firma", "Fise", "id_firma, Nr"},
    {"ix_categacteexpira_firma", "CategActeExpira", "id_firma"},
    {"ix_acteexpira_categorie", "ActeExpira", "id_vanzator, id_categorie"},
};

// Numbers and amounts start at 0, as in the database the program was
// first written against: code relies on it (a new collection is not
// cancelled, a new document has number 0).
QString sqliteType(const Column &c)
{
    switch (c.type) {
    case T::Id:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case T::Int32:
        return QStringLiteral("INTEGER DEFAULT 0");
    case T::Int16:
        return QStringLiteral("SMALLINT DEFAULT 0");
    case T::UInt8:
        return QStringLiteral("TINYINT DEFAULT 0");
    case T::Money:
        return QStringLiteral("MONEY DEFAULT 0");
    case T::Decimal:
        return QStringLiteral("DECIMAL(18,2) DEFAULT 0");
    case T::Double:
        return QStringLiteral("DOUBLE DEFAULT 0");
    case T::Bool:
        return QStringLiteral("BOOLEAN NOT NULL DEFAULT 0");
    case T::DateTime:
        return QStringLiteral("DATETIME");
    case T::Text:
        return QStringLiteral("VARCHAR(%1) COLLATE NOCASE").arg(c.length);
    case T::Memo:
        return QStringLiteral("TEXT COLLATE NOCASE");
    case T::Blob:
        return QStringLiteral("BLOB");
    }
    return {};
}

} // namespace

const std::vector<Table> &tables()
{
    return allTables;
}

const std::vector<Index> &indexes()
{
    return allIndexes;
}

const Table *findTable(const QString &name)
{
    for (const Table &t : allTables) {
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

QStringList sqliteStatements()
{
    QStringList out;
    for (const Table &t : allTables) {
        QStringList columns;
        for (const Column &c : t.columns)
            columns << QLatin1String(c.name) + u' ' + sqliteType(c);
        out << QStringLiteral("CREATE TABLE ") + QLatin1String(t.name) + QStringLiteral(" (\n  ")
                   + columns.join(QStringLiteral(",\n  ")) + QStringLiteral("\n)");
    }
    for (const Index &i : allIndexes) {
        out << QStringLiteral("CREATE INDEX IF NOT EXISTS ") + QLatin1String(i.name) + QStringLiteral(" ON ")
                   + QLatin1String(i.table) + QStringLiteral(" (") + QLatin1String(i.columns) + u')';
    }
    return out;
}

const QHash<QString, QString> &namedQueries()
{
    static const QHash<QString, QString> queries = {
        // Highest goods-receipt number of a company in a year; null when the
        // year has none yet, so numbering restarts at 1.
        {QStringLiteral("nrNIR"),
         QStringLiteral("Select max(NIR) as Expr1 from Facturi where eNIR=true and NIR>0 and "
                        "year(Data)=:an and id_cump=:idf")},
        // Fills the inventory scratch rows of a company and work point up to a date.
        {QStringLiteral("PreStoc"),
         QStringLiteral("INSERT INTO tmpStoc ( Denumire, Um, StocCant, stocvaloric, categorie, data, "
                        "pc_id, id_firma) SELECT ProdCumparate.Denumire AS Denumire, UM AS UM, "
                        "Stoc_Istoric AS StocCant, Stoc_Valoric_istoric AS StocValoric, scs.categorie "
                        "AS categorie, F.data AS data, prodcumparate.id AS pc_id, :idfirma AS id_firma "
                        "FROM (ProdCumparate INNER JOIN Facturi AS F ON F.id=ProdCumparate.id_fact) "
                        "INNER JOIN SubCategoriiStocuri AS SCS ON SCs.id=ProdCumparate.id_magazie "
                        "WHERE stoc_istoric>0 And id_cumparator=:idcump And f.anulata=False And "
                        "f.stornata=False And (f.data)<=:data And f.id_punctlucru=:idp")},
        {QStringLiteral("Delete tmpStoc"), QStringLiteral("DELETE FROM tmpStoc WHERE id_firma=:idf")},
        // One row per product and warehouse: the stock after its last movement up to the date.
        {QStringLiteral("getStoc"),
         QStringLiteral("SELECT t.Denumire AS Denumire, t.Um AS UM, t.StocCant AS StocCant, "
                        "t.stocvaloric AS StocValoric, t.categorie AS Categorie FROM tmpStoc t "
                        "WHERE t.pc_id = (SELECT max(t2.pc_id) FROM tmpStoc t2 WHERE "
                        "t2.Denumire = t.Denumire AND t2.categorie = t.categorie AND "
                        "t2.id_firma = t.id_firma AND t2.data <= :pd) ORDER BY t.categorie, t.Denumire")},
    };
    return queries;
}

} // namespace schema

#include "strings/interface_strings.h"

using namespace Qt::StringLiterals;

namespace {

struct ConstantPair {
    StringKey key;
    const char16_t* english;
    const char16_t* french;
};

// Indexed by StringKey, each row naming its key. AboutText has no constant: it is assembled from
// AboutPieces.
constexpr std::array<ConstantPair, InterfaceStringCount> ConstantTexts{{
    {FileMenuCaption, u"&File", u"&Fichier"},
    {OpenMenuCaption, u"&Open", u"&Ouvrir"},
    {SaveMenuCaption, u"&Save", u"&Sauvegarder"},
    {CloseMenuCaption, u"&Close", u"&Fermer"},
    {ExitMenuCaption, u"E&xit", u"&Quitter"},
    {OptionsMenuCaption, u"&Options", u"&Options"},
    {LanguageMenuCaption, u"&Language", u"&Langue"},
    {HelpMenuCaption, u"&Help", u"&Aide"},
    {AboutMenuCaption, u"&About", u"à &Propos"},
    {VersionsCompatibleMenuCaption, u"&Versions Compatible", u"&Versions Compatibles"},
    {ChangeButtonCaption, u"Change Entry", u"Changer l'Entrée"},
    {InsertButtonCaption, u"Insert New Entry", u"Insérer une Nouvelle Entrée"},
    {ChangeToForesightEntryButtonCaption, u"Change to Foresight Entry",
     u"Changer à l'Entrée de Clairvoyance"},
    {InsertForesightEntryButtonCaption, u"Insert Foresight Entry",
     u"Insérer l'Entrée de Clairvoyance"},
    {DeleteButtonCaption, u"Delete Entry", u"Supprimer l'Entrée"},
    {AttackingTypeLabelCaption, u"Attacking Type", u"Type Offensif"},
    {DefendingTypeLabelCaption, u"Defending Type", u"Type Défensif"},
    {MultFactorRadioGroupCaption, u"Multiplication Factor", u"Facteur de Multiplication"},
    {AttentionTitle, u"Attention", u"Attention"},
    {WarningTitle, u"Warning", u"Alerte"},
    {AboutTitle, u"About", u"à Propos"},
    {AboutText, nullptr, nullptr},
    {VersionsCompatibleTitle, u"Versions Compatible", u"Versions Compatibles"},
    {VersionsCompatibleText, u"English, French - Ruby, Sapphire, Emerald, Fire Red, and Leaf Green",
     u"Anglais, Français - Rubis, Saphir, Emeraude, Rouge Feu, et Vert Feuille"},
    {AlreadyOpenMessage,
     u"There's already a file open. Are you sure you want to open another? Any data not saved "
     u"will be lost.",
     u"Un fichier est déja ouvert. Êtes-vous sûr de vouloir ouvrir un autre? Toutes les données "
     u"non sauvegardées seront perdues."},
    {UnsupportedRomMessage,
     u"Sorry, but the rom you chose isn't supported by this program yet, or isn't a generation "
     u"III Pokémon rom.",
     u"Désolé, mais la rom que vous avez choisie n'est pas compatible avec cette programme "
     u"encore, ou n'est pas une rom Pokémon de la génération GBA."},
    {SavedMessage, u"The file was successfully saved!", u"La rom a bien été sauvegardée!"},
    {MultipleForesightEntriesMessage, u"There's more than one Foresight entry present.",
     u"Il y a plus d'une entrée de Clairvoyance présente."},
    {ForesightAlreadyPresentMessage,
     u"There's already one Foresight entry present. Do you still want to insert another "
     u"Foresight entry?",
     u"Il y a déjà une entrée de Clairvoyance. Est-ce que vous voulez encore insérer une autre "
     u"entrée de la Clairvoyance?"},
    {DeleteLastEntryMessage,
     u"This will delete the last entry. Do you still want to insert a new one?",
     u"Ceci va supprimer la dernière entrée. Êtes-vous sûr de vouloir en insérer une nouvelle "
     u"entrée?"},
    {SaveFailedMessage, u"The file could not be saved!", u"La rom n'a pas pu être sauvegardée!"},
    {EntryListName, u"Type chart entries", u"Entrées de la table des types"},
    {NoSuchFileMessage, u"Sorry, but the file you chose doesn't exist.",
     u"Désolé, mais le fichier que vous avez choisi n'existe pas."},
    {NotWritableFileMessage,
     u"Sorry, but the file you chose can't be opened for writing. It may be read-only, or you may "
     u"not have permission to change it.",
     u"Désolé, mais le fichier que vous avez choisi ne peut pas être ouvert en écriture. Il est "
     u"peut-être en lecture seule, ou bien vous n'avez pas le droit de le modifier."},
    {FileInUseMessage,
     u"Sorry, but the file you chose is already open in another program. Close it there, then "
     u"try again.",
     u"Désolé, mais le fichier que vous avez choisi est déjà ouvert dans un autre programme. "
     u"Fermez-le dans ce programme, puis réessayez."},
    {NotRegularFileMessage,
     u"Sorry, but what you chose isn't an ordinary file: it may be a folder, a pipe or a device.",
     u"Désolé, mais ce que vous avez choisi n'est pas un fichier ordinaire\u00a0: c'est "
     u"peut-être un dossier, un tube ou un périphérique."},
    {FileSystemErrorMessage,
     u"Sorry, but the file you chose couldn't be opened: the system reported an error.",
     u"Désolé, mais le fichier que vous avez choisi n'a pas pu être ouvert\u00a0: le système a "
     u"signalé une erreur."},
    {ReadErrorMessage,
     u"Sorry, but the file you chose couldn't be read: the system reported an error.",
     u"Désolé, mais le fichier que vous avez choisi n'a pas pu être lu\u00a0: le système a "
     u"signalé une erreur."},
    // The second line of the failed-save message: why nothing, or not everything, was written.
    {ChartCutShortReason,
     u"The type chart was cut short by the end of the file when it was opened.",
     u"La table des types était coupée par la fin du fichier quand la rom a été ouverte."},
    {FileChangedReason,
     u"Another program changed, moved, replaced or cut the file since it was opened. Open it "
     u"again to edit what it holds now.",
     u"Un autre programme a modifié, déplacé, remplacé ou coupé le fichier depuis son "
     u"ouverture. Ouvrez-le de nouveau pour éditer ce qu'il contient maintenant."},
    {DeviceFullReason, u"The device is full, or a file-size limit was reached.",
     u"Le périphérique est plein, ou une limite de taille de fichier a été atteinte."},
    {DeviceErrorReason,
     u"The device reported an error. If it was removed, open the file again once it is back.",
     u"Le périphérique a signalé une erreur. S'il a été retiré, ouvrez la rom de nouveau une "
     u"fois qu'il est revenu."},
    {SystemErrorReason, u"The system reported an error.", u"Le système a signalé une erreur."},
    // Said only when the system reported bytes of the chart written.
    {ChartWrittenThenChangedReason,
     u"The chart was written into the file as it was then, but another program changed, moved, "
     u"replaced or cut the file meanwhile. Open it again to check what it holds.",
     u"La table des types a été écrite dans le fichier tel qu'il était alors, mais un autre "
     u"programme a modifié, déplacé, remplacé ou coupé le fichier entre-temps. Ouvrez-le de "
     u"nouveau pour vérifier ce qu'il contient."},
    // The third line, after a write that stopped part-way.
    {PartOfChartWrittenNote,
     u"Part of the chart was written before the failure: the file holds an incomplete chart "
     u"until a save succeeds.",
     u"Une partie de la table des types a été écrite avant l'échec\u00a0: le fichier contient "
     u"une table incomplète jusqu'à ce qu'une sauvegarde réussisse."},
}};

// Row i is key i, and no key is missing: a row left out is a row of key 0 at the end.
constexpr bool EveryRowInPlace() {
    for (int key = 0; key < InterfaceStringCount; ++key)
        if (ConstantTexts[key].key != key)
            return false;
    return true;
}
static_assert(EveryRowInPlace(), "ConstantTexts must list every StringKey, in the enum's order");

QString AssembleAboutText(int language) {
    const AboutPieceTable& p = AboutPieces;
    return p.ProgramName + u'\n' + p.VersionLine[language] + u'\n' + p.AuthorLine[language] +
           u'\n' + p.DateLine[language] + u"\n\n"_s + p.Description[language] + u"\n\n"_s +
           p.NewVersionsSentence[language] + u' ' + p.WebPageAddress + u'.' + u"\n\n"_s +
           p.ThanksSentence[language];
}

} // namespace

void FillInterfaceStrings() {
    for (int key = 0; key < InterfaceStringCount; ++key) {
        const ConstantPair& constant = ConstantTexts[key];
        if (key == AboutText) {
            InterfaceStrings[key] = {AssembleAboutText(0), AssembleAboutText(1)};
        } else {
            InterfaceStrings[key] = {QString::fromUtf16(constant.english),
                                     QString::fromUtf16(constant.french)};
        }
    }
}

QString CurrentText(StringKey key) {
    return InterfaceStrings[key][Language];
}

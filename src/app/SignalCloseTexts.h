#pragma once

// What the window and the command-line tool say when a terminating signal meets a Program.
struct SignalCloseTexts {
    static constexpr const char* WAITING
        = "###A signal asks the program to end: it ends once the Program has finished (read-back and storing "
          "included), so that the unit is not left half-programmed. A second signal ends it at once."
          "##Ein Signal beendet das Programm, sobald das Programmieren abgeschlossen ist (Rücklesen und Speichern "
          "inbegriffen), damit die Zündung nicht halb programmiert bleibt. Ein zweites Signal beendet es sofort."
          "##Signál ukončí program, jakmile programování skončí (včetně zpětného čtení a uložení), aby jednotka "
          "nezůstala napůl naprogramovaná. Druhý signál jej ukončí okamžitě.";
    static constexpr const char* FINISHED
        = "###The Program has finished: the unit holds the new configuration."
          "##Das Programmieren ist abgeschlossen: die Zündung enthält die neue Einstellung."
          "##Programování je dokončeno: jednotka obsahuje nové nastavení.";
    static constexpr const char* FAILED
        = "###The Program failed: the unit may not hold the new configuration."
          "##Das Programmieren ist fehlgeschlagen: die Zündung enthält die neue Einstellung möglicherweise nicht."
          "##Programování selhalo: jednotka nemusí obsahovat nové nastavení.";
    static constexpr const char* ABANDONED
        = "###Program abandoned on a second signal: the unit may hold a partial configuration."
          "##Programmieren nach einem zweiten Signal abgebrochen: die Zündung kann eine nur teilweise geschriebene "
          "Einstellung enthalten."
          "##Programování přerušeno druhým signálem: jednotka může obsahovat jen částečně zapsané nastavení.";
    static constexpr const char* NOT_BEGUN
        = "###Not programmed: a signal asked the program to end before this Program began."
          "##Nicht programmiert: ein Signal hat das Programm beendet, bevor dieses Programmieren begann."
          "##Nenaprogramováno: signál ukončil program dříve, než toto programování začalo.";
};

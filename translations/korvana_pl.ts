<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl_PL" sourcelanguage="pl_PL">
<context>
    <name>GameScreen</name>
    <message numerus="yes">
        <source>%n pól</source>
        <translation>
            <numerusform>%n pole</numerusform>
            <numerusform>%n pola</numerusform>
            <numerusform>%n pól</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LobbyView</name>
    <message numerus="yes">
        <source>%n gier</source>
        <translation>
            <numerusform>%n gra</numerusform>
            <numerusform>%n gry</numerusform>
            <numerusform>%n gier</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n wygranych</source>
        <translation>
            <numerusform>%n wygrana</numerusform>
            <numerusform>%n wygrane</numerusform>
            <numerusform>%n wygranych</numerusform>
        </translation>
    </message>
</context>
</TS>

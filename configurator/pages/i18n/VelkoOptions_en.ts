<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>MouseKeyPress</name>
    <message>
        <source>Open floder</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>Set the seepd of mouse</source>
        <translation>Set the speed of mouse</translation>
    </message>
</context>
<context>
    <name>QApplication</name>
    <message>
        <source>Program hasbeen running!</source>
        <translation>Program has been running!</translation>
    </message>
</context>
</TS>

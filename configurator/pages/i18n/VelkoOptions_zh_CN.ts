<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>main</name>
    <message>
        <source>Velko Options</source>
        <translation>Velko Options</translation>
    </message>
    <message>
        <source>Press the mouse&apos;s pairing button now.</source>
        <translation>请现在按下鼠标的配对键。</translation>
    </message>
    <message>
        <source>The receiver could not enter pairing mode.</source>
        <translation>接收器无法进入配对模式。</translation>
    </message>
    <message>
        <source>The mouse is paired.</source>
        <translation>鼠标已配对。</translation>
    </message>
    <message>
        <source>Pairing failed.</source>
        <translation>配对失败。</translation>
    </message>
    <message>
        <source>show</source>
        <translation>显示</translation>
    </message>
    <message>
        <source>exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Receiver connected</source>
        <translation>接收器已连接</translation>
    </message>
    <message>
        <source>Receiver not connected</source>
        <translation>接收器未连接</translation>
    </message>
    <message>
        <source>Pair</source>
        <translation>配对</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en_US">
<context>
    <name>ranges</name>
    <message>
        <source>not start&lt;TAB&gt;end&lt;TAB&gt;label (seconds)</source>
        <translation>「開始&lt;TAB&gt;終了&lt;TAB&gt;ラベル」(秒) の形ではありません</translation>
    </message>
    <message>
        <source>the label lies beyond the data (%1 frames)</source>
        <translation>ラベルがデータの外にあります (データは %1 サンプル)</translation>
    </message>
    <message>
        <source>line %1: a point label at the end of the data starts no piece</source>
        <translation>%1 行目: データの末尾にある点ラベルからは範囲ができません</translation>
    </message>
    <message>
        <source>not start,end,label (sample frames)</source>
        <translation>「開始,終了,ラベル」(サンプル) の形ではありません</translation>
    </message>
    <message>
        <source>a quoted field is not closed properly</source>
        <translation>引用符で囲んだ項目が正しく閉じていません</translation>
    </message>
    <message>
        <source>a second FILE: only sheets for one WAVE file are read</source>
        <translation>2 つ目の FILE があります: 読み込めるのは 1 つの WAVE ファイルのシートだけです</translation>
    </message>
    <message>
        <source>not TRACK nn AUDIO</source>
        <translation>「TRACK nn AUDIO」の形ではありません</translation>
    </message>
    <message>
        <source>track %1 is %2, not AUDIO</source>
        <translation>トラック %1 が AUDIO ではなく %2 です</translation>
    </message>
    <message>
        <source>more than 99 tracks</source>
        <translation>トラックが 99 を超えています</translation>
    </message>
    <message>
        <source>not INDEX nn mm:ss:ff</source>
        <translation>「INDEX nn mm:ss:ff」の形ではありません</translation>
    </message>
    <message>
        <source>INDEX before the first TRACK</source>
        <translation>最初の TRACK より前に INDEX があります</translation>
    </message>
    <message>
        <source>a second INDEX 01 in track %1</source>
        <translation>トラック %1 に 2 つ目の INDEX 01 があります</translation>
    </message>
    <message>
        <source>no TRACK in the sheet</source>
        <translation>シートに TRACK がありません</translation>
    </message>
    <message>
        <source>track %1 has no INDEX 01</source>
        <translation>トラック %1 に INDEX 01 がありません</translation>
    </message>
    <message>
        <source>track %1 does not start after the one before</source>
        <translation>トラック %1 が前のトラックより後から始まっていません</translation>
    </message>
    <message>
        <source>track %1 starts beyond the data (%2 frames)</source>
        <translation>トラック %1 がデータの外から始まっています (データは %2 サンプル)</translation>
    </message>
    <message>
        <source>a CUE sheet holds at most 99 tracks, not %1</source>
        <translation>CUE シートに書けるのは 99 トラックまでです (範囲は %1 個)</translation>
    </message>
    <message>
        <source>range %1 does not start at least 1/75 s after range %2; a CUE sheet holds ranges in time order</source>
        <translation>範囲 %1 が範囲 %2 より 1/75 秒以上後から始まっていません。CUE シートには範囲を時間順に書きます</translation>
    </message>
    <message>
        <source>range %1 starts too close to the end of the data for 1/75 s</source>
        <translation>範囲 %1 がデータの末尾に近すぎます (1/75 秒未満)</translation>
    </message>
    <message>
        <source>range %1: start %2 is written as %3 (frame %4)</source>
        <translation>範囲 %1: 開始 %2 は %3 (サンプル %4) として書き出しました</translation>
    </message>
    <message>
        <source>range %1: end %2 cannot be written; the sheet ends it at the next track, frame %3</source>
        <translation>範囲 %1: 終了 %2 は書き出せません。シートでは次のトラック (サンプル %3) で終わります</translation>
    </message>
    <message>
        <source>range %1: end %2 cannot be written; the sheet ends it at the end of the data, frame %3</source>
        <translation>範囲 %1: 終了 %2 は書き出せません。シートではデータの末尾 (サンプル %3) で終わります</translation>
    </message>
    <message>
        <source>the end lies before the start</source>
        <translation>終了が開始より前にあります</translation>
    </message>
    <message>
        <source>the range is empty</source>
        <translation>範囲の長さが 0 です</translation>
    </message>
    <message>
        <source>the range ends beyond the data (%1 frames)</source>
        <translation>範囲がデータの外で終わっています (データは %1 サンプル)</translation>
    </message>
    <message>
        <source>not a text file (a control character)</source>
        <translation>テキストファイルではありません (制御文字があります)</translation>
    </message>
    <message>
        <source>the %1 chunk at byte %2 is cut short</source>
        <translation>%2 バイト目の %1 チャンクが途中で切れています</translation>
    </message>
    <message>
        <source>the %1 chunk at byte %2 has an entry cut short</source>
        <translation>%2 バイト目の %1 チャンクに途中で切れた項目があります</translation>
    </message>
    <message>
        <source>the %1 chunk at byte %2 has a %3 entry cut short</source>
        <translation>%2 バイト目の %1 チャンクに途中で切れた %3 項目があります</translation>
    </message>
    <message>
        <source>not a RIFF WAVE file</source>
        <translation>RIFF WAVE ファイルではありません</translation>
    </message>
    <message>
        <source>the %1 chunk at byte %2 is too large for a marker list</source>
        <translation>%2 バイト目の %1 チャンクはマーカの一覧としては大きすぎます</translation>
    </message>
    <message>
        <source>the %1 chunk at byte %2 cannot be read</source>
        <translation>%2 バイト目の %1 チャンクを読めません</translation>
    </message>
    <message>
        <source>marker %1 lies beyond the data (%2 frames)</source>
        <translation>マーカ %1 がデータの外にあります (データは %2 サンプル)</translation>
    </message>
    <message>
        <source>marker %1 at the end of the data starts no piece</source>
        <translation>データの末尾にあるマーカ %1 からは範囲ができません</translation>
    </message>
    <message>
        <source>marker %1 ends beyond the data (%2 frames)</source>
        <translation>マーカ %1 がデータの外で終わっています (データは %2 サンプル)</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>ファイルを読めません</translation>
    </message>
    <message>
        <source>the region is shorter than a frame at %1 Hz and rounds to none</source>
        <translation>範囲が %1 Hz の 1 サンプルより短く、丸めると長さが 0 になります</translation>
    </message>
    <message>
        <source>line %1: track %2 repeats an earlier track&apos;s number</source>
        <translation>%1 行目: トラック %2 は前のトラックと番号が重なっています</translation>
    </message>
    <message>
        <source>line %1: track %2 comes after track %3</source>
        <translation>%1 行目: トラック %2 がトラック %3 の後にあります</translation>
    </message>
    <message>
        <source>line %1: unknown command %2 ignored</source>
        <translation>%1 行目: 知らないコマンド %2 は読み飛ばしました</translation>
    </message>
    <message>
        <source>the text starts with the UTF-8 mark but is not UTF-8 (byte %1)</source>
        <translation>UTF-8 の印で始まっていますが UTF-8 ではありません (バイト %1)</translation>
    </message>
    <message>
        <source>the text is not UTF-8 (byte %1); name its encoding with --list-encoding, e.g. CP1251, CP1252 or SHIFT_JIS</source>
        <translation>UTF-8 ではありません (バイト %1)。文字コード (CP1251、CP1252、SHIFT_JIS など) を指定してください</translation>
    </message>
    <message>
        <source>the text is not %1 (byte %2)</source>
        <translation>%1 として読めません (バイト %2)</translation>
    </message>
    <message>
        <source>%1 is not an encoding this system knows (names as iconv takes them, e.g. CP1251, CP1252 or SHIFT_JIS)</source>
        <translation>%1 はこのシステムが知らない文字コードです (iconv の名前、たとえば CP1251、CP1252、SHIFT_JIS)</translation>
    </message>
    <message>
        <source>marker %1: its name is not %2; its unreadable bytes were replaced</source>
        <translation>マーカ %1: 名前が %2 として読めないため、読めないバイトを置き換えました</translation>
    </message>
    <message>
        <source>marker %1: its name is not UTF-8; its unreadable bytes were replaced</source>
        <translation>マーカ %1: 名前が UTF-8 ではないため、読めないバイトを置き換えました</translation>
    </message>
</context>
</TS>

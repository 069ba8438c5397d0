<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>Snipora</name>
    <message>
        <source>不明</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>WAVEサウンド(*.wav)|*.wav||</source>
        <translation>WAVE sound|*.wav||</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>このファイルのフォーマットではこの機能を使えません</source>
        <translation>This feature is not available for this file format.</translation>
    </message>
    <message>
        <source>ファイルオープンエラーが発生しました</source>
        <translation>The file could not be opened.</translation>
    </message>
    <message>
        <source>メモリ確保ができませんでした</source>
        <translation>Not enough memory.</translation>
    </message>
    <message>
        <source>250ミリ秒</source>
        <translation>250 ms</translation>
    </message>
    <message>
        <source>500ミリ秒</source>
        <translation>500 ms</translation>
    </message>
    <message>
        <source>1秒</source>
        <translation>1 s</translation>
    </message>
    <message>
        <source>2秒</source>
        <translation>2 s</translation>
    </message>
    <message>
        <source>5秒</source>
        <translation>5 s</translation>
    </message>
    <message>
        <source>10秒</source>
        <translation>10 s</translation>
    </message>
    <message>
        <source>0(完全)</source>
        <translation>0 (exact)</translation>
    </message>
    <message>
        <source>32(高精度)</source>
        <translation>32 (high)</translation>
    </message>
    <message>
        <source>64(中高精度)</source>
        <translation>64 (medium-high)</translation>
    </message>
    <message>
        <source>128(中精度)</source>
        <translation>128 (medium)</translation>
    </message>
    <message>
        <source>256(低中精度)</source>
        <translation>256 (medium-low)</translation>
    </message>
    <message>
        <source>512(低精度)</source>
        <translation>512 (low)</translation>
    </message>
    <message>
        <source>再生速度</source>
        <translation>Playback Speed</translation>
    </message>
    <message>
        <source>100%に戻す</source>
        <translation>Reset to 100%</translation>
    </message>
    <message>
        <source>ファイルを開いた時概算音量で最大化設定</source>
        <translation>Raise to the estimated maximum when a file opens</translation>
    </message>
    <message>
        <source>音量自動調整</source>
        <translation>Adjust the volume automatically</translation>
    </message>
    <message>
        <source>体感音量ベースで処理する</source>
        <translation>Based on perceived loudness</translation>
    </message>
    <message>
        <source>自動調整は再転送しない</source>
        <translation>Automatic: do not rewrite queued sound</translation>
    </message>
    <message>
        <source>自動調整は常に最大音量を保つ</source>
        <translation>Automatic: always keep the maximum volume</translation>
    </message>
    <message>
        <source>自動調整は余裕をもって処理する</source>
        <translation>Automatic: leave headroom</translation>
    </message>
    <message>
        <source>自動調整は滑らかに適用する</source>
        <translation>Automatic: apply smoothly</translation>
    </message>
    <message>
        <source>自動調整は16ビットのファイルにだけ働きます</source>
        <translation>Automatic adjustment works on 16-bit files only</translation>
    </message>
    <message>
        <source>音量</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>DirectSoundボリュームコントロール</source>
        <translation>Output device volume</translation>
    </message>
    <message>
        <source>ソフトウェア ボリュームコントロール</source>
        <translation>Software volume</translation>
    </message>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>座標指定</source>
        <translation>Go to...</translation>
    </message>
    <message>
        <source>マーカループ</source>
        <translation>Loop markers</translation>
    </message>
    <message>
        <source>マーカ間再生</source>
        <translation>Play between markers</translation>
    </message>
    <message>
        <source>マーカまで再生</source>
        <translation>Play to marker</translation>
    </message>
    <message>
        <source>マーカまで2秒</source>
        <translation>2 s before marker</translation>
    </message>
    <message>
        <source>分割指定</source>
        <translation>Add range</translation>
    </message>
    <message>
        <source>指定読取</source>
        <translation>Read range</translation>
    </message>
    <message>
        <source>指定解除</source>
        <translation>Remove range</translation>
    </message>
    <message>
        <source>付加</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>移動</source>
        <translation>Go to</translation>
    </message>
    <message>
        <source>フェードアウト処理を行う</source>
        <translation>Fade out</translation>
    </message>
    <message>
        <source>全て連結して出力する</source>
        <translation>Join all into one file</translation>
    </message>
    <message>
        <source>ラベル名でファイル名を付ける</source>
        <translation>Name files by label</translation>
    </message>
    <message>
        <source>ミリ秒単位で指定</source>
        <translation>In milliseconds</translation>
    </message>
    <message>
        <source>サンプル単位で指定</source>
        <translation>In samples</translation>
    </message>
    <message>
        <source>ミリ秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>サンプル</source>
        <translation>samples</translation>
    </message>
    <message>
        <source>ミリ秒
サンプル</source>
        <translation>ms
samples</translation>
    </message>
    <message>
        <source>再生アドレス</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>マーカー1アドレス</source>
        <translation>Marker 1</translation>
    </message>
    <message>
        <source>マーカー2アドレス</source>
        <translation>Marker 2</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>消去</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>このファイルは%1チャンネルです。再生できるのは%2チャンネルまでなので開けません。
切り出しはコマンドラインの snipora-cut でできます。</source>
        <translation>This file has %1 channels. Only up to %2 channels can be played, so it cannot be opened.
The command-line tool snipora-cut can cut it.</translation>
    </message>
    <message>
        <source>座標指定移動</source>
        <translation>Go to Position</translation>
    </message>
    <message>
        <source>指定方法</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>ミリ秒最大値
サンプル最大値</source>
        <translation>Maximum in ms
Maximum in samples</translation>
    </message>
    <message>
        <source>Sniporaのﾊﾞｰｼﾞｮﾝ情報</source>
        <translation>About Snipora</translation>
    </message>
    <message>
        <source>PCM WAVE / NWA を無劣化で分割します</source>
        <translation>Cuts PCM WAVE and NWA files without re-encoding</translation>
    </message>
    <message>
        <source>開く(&amp;O)...</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>範囲リストの読み込み(&amp;I)...</source>
        <translation>&amp;Import Range List...</translation>
    </message>
    <message>
        <source>範囲リストの書き出し(&amp;E)...</source>
        <translation>&amp;Export Range List...</translation>
    </message>
    <message>
        <source>音量(&amp;V)...</source>
        <translation>&amp;Volume...</translation>
    </message>
    <message>
        <source>再生速度(&amp;S)...</source>
        <translation>Playback &amp;Speed...</translation>
    </message>
    <message>
        <source>ループ検出(&amp;L)...</source>
        <translation>&amp;Loop Detection...</translation>
    </message>
    <message>
        <source>ファイルのループ点をマーカに設定(&amp;M)</source>
        <translation>Set &amp;Markers from the File&apos;s Loop</translation>
    </message>
    <message>
        <source>Sniporaのバージョン情報(&amp;A)...</source>
        <translation>&amp;About Snipora...</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>ツール(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Snipora のﾊﾞｰｼﾞｮﾝ情報(&amp;A)...</source>
        <translation>&amp;About Snipora...</translation>
    </message>
    <message>
        <source>ファイルを開いていないとプログラムを続行できません。
ファイルを選択しなおしますか？</source>
        <translation>Snipora cannot go on without an open file.
Choose a file again?</translation>
    </message>
    <message>
        <source>ファイルを開けません。
強制終了します</source>
        <translation>The file cannot be opened.
Snipora will quit.</translation>
    </message>
    <message>
        <source>既に同名のフォルダがあります。
上書きしますか？</source>
        <translation>A folder of that name already exists.
Overwrite it?</translation>
    </message>
    <message>
        <source>ファイルを開けませんでした。</source>
        <translation>A file could not be opened or written.</translation>
    </message>
    <message>
        <source>指定された値が無効です</source>
        <translation>The value is not valid.</translation>
    </message>
    <message>
        <source>保存可能なデータがありません</source>
        <translation>There is nothing to save.</translation>
    </message>
    <message>
        <source>リストに保存していない分割予約があります。
破棄してよろしいですか？</source>
        <translation>The list has ranges that have not been saved.
Discard them?</translation>
    </message>
    <message>
        <source>ループ再生に失敗しました</source>
        <translation>Loop playback failed.</translation>
    </message>
    <message>
        <source>はい(&amp;Y)</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>いいえ(&amp;N)</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>Audacity ラベル(*.txt)|*.txt|CUE シート(*.cue)|*.cue|CSV(*.csv)|*.csv||</source>
        <translation>Audacity labels|*.txt|CUE sheet|*.cue|CSV|*.csv||</translation>
    </message>
    <message>
        <source>範囲リスト(*.txt;*.cue;*.csv)|*.txt;*.cue;*.csv|WAVE ファイルのマーカ(*.wav)|*.wav||</source>
        <translation>Range lists|*.txt;*.cue;*.csv|Markers of a WAVE file|*.wav||</translation>
    </message>
    <message>
        <source>マーカ1の設定</source>
        <translation>Set Marker 1</translation>
    </message>
    <message>
        <source>マーカ2の設定</source>
        <translation>Set Marker 2</translation>
    </message>
    <message>
        <source>マーカ1の解除</source>
        <translation>Clear Marker 1</translation>
    </message>
    <message>
        <source>マーカ2の解除</source>
        <translation>Clear Marker 2</translation>
    </message>
    <message>
        <source>選択</source>
        <translation>Selection</translation>
    </message>
    <message>
        <source>マーカの移動</source>
        <translation>Move Marker</translation>
    </message>
    <message>
        <source>範囲の追加</source>
        <translation>Add Range</translation>
    </message>
    <message>
        <source>範囲の削除</source>
        <translation>Remove Ranges</translation>
    </message>
    <message>
        <source>範囲をマーカに読み取り</source>
        <translation>Read Range into Markers</translation>
    </message>
    <message>
        <source>範囲リストの読み込み</source>
        <translation>Import Range List</translation>
    </message>
    <message>
        <source>ラベルの変更</source>
        <translation>Change Label</translation>
    </message>
    <message>
        <source>範囲の変更</source>
        <translation>Change Range</translation>
    </message>
    <message>
        <source>開始位置で並べ替え</source>
        <translation>Sort by Start</translation>
    </message>
    <message>
        <source>行の移動</source>
        <translation>Move Rows</translation>
    </message>
    <message>
        <source>ループ点をマーカに設定</source>
        <translation>Markers from File Loop</translation>
    </message>
    <message>
        <source>数字だけで入力してください。</source>
        <translation>Type digits only.</translation>
    </message>
    <message>
        <source>時:分:秒.ミリ秒 (例えば 0:01:23.500) の形で入力してください。</source>
        <translation>Type hours:minutes:seconds.milliseconds, for example 0:01:23.500.</translation>
    </message>
    <message>
        <source>開始は終了より前にしてください。</source>
        <translation>The start must lie before the end.</translation>
    </message>
    <message>
        <source>終了は開始より後にしてください。</source>
        <translation>The end must lie after the start.</translation>
    </message>
    <message>
        <source>長さは 0 より長くしてください。</source>
        <translation>The length must be more than 0.</translation>
    </message>
    <message>
        <source>ファイルの終わりを越えています。</source>
        <translation>This lies past the end of the file.</translation>
    </message>
    <message>
        <source>開始点の音が無音か一定のため、ループの基準にできません</source>
        <translation>The sound at the start is silent or constant and cannot anchor a loop</translation>
    </message>
    <message>
        <source>フォルダ「%1」はすでにあります。

置き換えられるファイルはありません。分割したファイルはこのフォルダに加わります。</source>
        <translation>The folder &quot;%1&quot; already exists.

No file in it would be replaced; the pieces are added to it.</translation>
    </message>
    <message>
        <source>フォルダ「%1」はすでにあります。

次のファイルは置き換えられます:
%2

フォルダのほかのファイルはそのまま残ります。</source>
        <translation>The folder &quot;%1&quot; already exists.

These files in it would be replaced:
%2

The other files in the folder stay as they are.</translation>
    </message>
    <message>
        <source>このフォルダに保存(&amp;S)</source>
        <translation>&amp;Save into this folder</translation>
    </message>
    <message>
        <source>置き換える(&amp;R)</source>
        <translation>&amp;Replace</translation>
    </message>
    <message>
        <source>フォルダ「%1」を作れません。
%2</source>
        <translation>The folder &quot;%1&quot; cannot be made.
%2</translation>
    </message>
    <message>
        <source>別のフォルダを選ぶ(&amp;F)...</source>
        <translation>Choose another &amp;folder...</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>書き込む権限がありません。</source>
        <translation>There is no permission to write there.</translation>
    </message>
    <message>
        <source>読み取り専用の場所です。</source>
        <translation>The place is read-only.</translation>
    </message>
    <message>
        <source>ディスクの空きが足りません。</source>
        <translation>The disk is full.</translation>
    </message>
    <message>
        <source>同じ名前のファイルがあります。</source>
        <translation>A file of that name exists.</translation>
    </message>
    <message>
        <source>保存先のフォルダがありません。</source>
        <translation>The folder to save in does not exist.</translation>
    </message>
    <message>
        <source>名前が長すぎます。</source>
        <translation>The name is too long.</translation>
    </message>
    <message>
        <source>ファイルの大きさの上限 (ulimit -f) を超えます。</source>
        <translation>It would exceed the file-size limit (ulimit -f).</translation>
    </message>
    <message>
        <source>同じ名前のフォルダがあります。</source>
        <translation>A folder of that name exists.</translation>
    </message>
    <message>
        <source>ディスクの空きが足りません (空き %1、必要 %2)。</source>
        <translation>The disk is too full (%1 free, %2 needed).</translation>
    </message>
    <message>
        <source>書き込み中にエラーが起きました (ディスクの障害か、ファイルシステムの制限)。</source>
        <translation>Writing failed (a disk fault or a limit of the file system).</translation>
    </message>
    <message>
        <source>「%1」は元のファイルそのものなので、上書きできません。
別の名前を選んでください。</source>
        <translation>&quot;%1&quot; is the source file itself and cannot be overwritten.
Choose another name.</translation>
    </message>
    <message>
        <source>元のファイル「%1」を開けません。</source>
        <translation>The source file &quot;%1&quot; cannot be opened.</translation>
    </message>
    <message>
        <source>元のファイル「%1」を最後まで読めませんでした (ファイルが途中で切れているか、読み取りエラーです)。</source>
        <translation>The source file &quot;%1&quot; could not be read to the end (it is cut short, or a read error occurred).</translation>
    </message>
    <message>
        <source>「%1」は 4 GiB 以上になり、WAVE ファイルに収まりません。</source>
        <translation>&quot;%1&quot; would be 4 GiB or more, beyond what a WAVE file holds.</translation>
    </message>
    <message>
        <source>分割予約の範囲がファイルのデータの外にあります。</source>
        <translation>A range lies outside the file&apos;s sound data.</translation>
    </message>
    <message>
        <source>「%1」を保存できません。
%2</source>
        <translation>&quot;%1&quot; cannot be saved.
%2</translation>
    </message>
    <message>
        <source>先に書き終えた次のファイルは残してあります:</source>
        <translation>These files, finished before, are kept:</translation>
    </message>
    <message>
        <source>…ほか %1 個</source>
        <translation>… and %1 more</translation>
    </message>
    <message>
        <source>検出を中止します。見つかったループは残ります</source>
        <translation>Stop searching; the loops found so far stay</translation>
    </message>
    <message>
        <source>再生速度 (%)。100% が元の速さで、速さと一緒に音の高さも変わります</source>
        <translation>Playback speed (%). 100% is the original speed; the pitch changes with the speed</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>閉じます。変更はそのまま効いています</source>
        <translation>Close; the changes stay in effect</translation>
    </message>
    <message>
        <source>100% に戻します</source>
        <translation>Back to 100%</translation>
    </message>
    <message>
        <source>%1 下げます</source>
        <translation>Lower by %1</translation>
    </message>
    <message>
        <source>%1 上げます</source>
        <translation>Raise by %1</translation>
    </message>
    <message>
        <source>ファイルを開くときに音量を見積もり、音が割れない範囲で最大にします</source>
        <translation>When a file opens, estimate its level and set the loudest volume that does not clip</translation>
    </message>
    <message>
        <source>再生中に音量を測り、音が割れないよう自動で下げます</source>
        <translation>Measure the level while playing and lower the volume so that it does not clip</translation>
    </message>
    <message>
        <source>自動調整で、波形の最大値ではなく聞こえる大きさを測ります</source>
        <translation>Measure perceived loudness instead of the highest peak</translation>
    </message>
    <message>
        <source>自動調整の変化を、これから送る音にだけ効かせます (送った音は送り直しません)</source>
        <translation>Apply automatic changes to sound not yet sent only (nothing is sent again)</translation>
    </message>
    <message>
        <source>自動調整で、音が小さくなったら音量を上げることも許します</source>
        <translation>Let the automatic adjustment raise the volume again when the sound gets quieter</translation>
    </message>
    <message>
        <source>自動調整で、最大の 80% を目指して余裕を残します</source>
        <translation>Aim at 80% of full scale, leaving headroom</translation>
    </message>
    <message>
        <source>自動調整の音量の変化を、一度にではなく少しずつ効かせます</source>
        <translation>Apply volume changes gradually rather than at once</translation>
    </message>
    <message>
        <source>出力装置の音量。10000 が最大 (0 dB) で、100 下げるごとに 1 dB 小さくなります</source>
        <translation>Output device volume: 10000 is full (0 dB); every 100 less is 1 dB quieter</translation>
    </message>
    <message>
        <source>音に掛ける音量 (%)。100% がそのまま、それより上は大きくなります</source>
        <translation>Volume applied to the sound (%): 100% leaves it as it is, more makes it louder</translation>
    </message>
    <message>
        <source>WAVE・NWA・FLAC サウンド(*.wav;*.nwa;*.flac)|*.wav;*.nwa;*.flac|全てのファイル(*)|*||</source>
        <translation>WAVE, NWA and FLAC sound|*.wav;*.nwa;*.flac|All files|*||</translation>
    </message>
    <message>
        <source>フェードイン処理を行う</source>
        <translation>Fade in</translation>
    </message>
    <message>
        <source>クリックノイズを防ぐ</source>
        <translation>De-click</translation>
    </message>
    <message>
        <source>「%1」にチェックがありますが、長さ (ミリ秒) の欄に数がありません。
長さを入れるか、チェックを外してください。
何も保存していません。</source>
        <translation>&quot;%1&quot; is ticked, but its length field (ms) holds no number.
Type a length or untick the box.
Nothing was saved.</translation>
    </message>
    <message>
        <source>メタデータを書き出さない</source>
        <translation>Strip metadata</translation>
    </message>
    <message>
        <source>保存後に検証する</source>
        <translation>Verify after saving</translation>
    </message>
    <message>
        <source>保存したファイルを読み直したところ、元のファイルと一致しません:
%1
ファイルは残してあります。ディスクを確かめてから保存し直してください。</source>
        <translation>A saved file, read back, does not match the source:
%1
The file was kept. Check the disk and save again.</translation>
    </message>
    <message>
        <source>無音で区切って音を探す(&amp;F)...</source>
        <translation>&amp;Find Sounds Between Silences...</translation>
    </message>
    <message>
        <source>ループ候補をマーカに設定</source>
        <translation>Set Markers to Loop Candidate</translation>
    </message>
    <message>
        <source>無音で区切った範囲の追加</source>
        <translation>Add Sounds Between Silences</translation>
    </message>
    <message>
        <source>WAVEサウンド(*.wav)|*.wav|FLACサウンド(*.flac)|*.flac||</source>
        <translation>WAVE sound|*.wav|FLAC sound|*.flac||</translation>
    </message>
    <message>
        <source>FLACサウンド(*.flac)|*.flac|WAVEサウンド(*.wav)|*.wav||</source>
        <translation>FLAC sound|*.flac|WAVE sound|*.wav||</translation>
    </message>
</context>
<context>
    <name>snipora::CAboutDlg</name>
    <message>
        <source>閉じます</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>snipora::CJumpDlg</name>
    <message>
        <source>数をミリ秒として読みます。1:23.500 や 0:01:23.500 のような時刻も使えます</source>
        <translation>Read the number as milliseconds; times such as 1:23.500 or 0:01:23.500 work too</translation>
    </message>
    <message>
        <source>数をサンプル (フレーム) の番号として読みます</source>
        <translation>Read the number as a sample (frame) number</translation>
    </message>
    <message>
        <source>例: 83500 または 1:23.500</source>
        <translation>e.g. 83500 or 1:23.500</translation>
    </message>
    <message>
        <source>例: 3681350</source>
        <translation>e.g. 3681350</translation>
    </message>
    <message>
        <source>移動先の位置。数だけを入れてください (途中に文字があると受け付けません)</source>
        <translation>The position to go to: a number only (anything else in it is refused)</translation>
    </message>
    <message>
        <source>ファイルの長さ: 上がミリ秒、下がサンプル。これより先へは移動できません</source>
        <translation>The file&apos;s length: milliseconds above, samples below; no position lies beyond it</translation>
    </message>
    <message>
        <source>入力した位置へ移動します</source>
        <translation>Go to the position typed</translation>
    </message>
    <message>
        <source>移動せずに閉じます</source>
        <translation>Close without moving</translation>
    </message>
</context>
<context>
    <name>snipora::CKeyListDlg</name>
    <message>
        <source>キーボードショートカット</source>
        <translation>Keyboard Shortcuts</translation>
    </message>
    <message>
        <source>キー / マウス</source>
        <translation>Key / mouse</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>この一覧を閉じます</source>
        <translation>Close this list</translation>
    </message>
</context>
<context>
    <name>snipora::CLoopCandidatesDlg</name>
    <message>
        <source>ループ検出</source>
        <translation>Loop Detection</translation>
    </message>
    <message>
        <source>検索範囲: マーカの間 (%1 から %2)</source>
        <translation>Search span: between the markers (%1 to %2)</translation>
    </message>
    <message>
        <source>検索範囲: 現在位置から終わりまで (%1 から %2)</source>
        <translation>Search span: from the position to the end (%1 to %2)</translation>
    </message>
    <message>
        <source>ループの始まりはこの範囲の始め。マーカを 2 つ置くとその間を、置かなければ現在位置から終わりまでを探します</source>
        <translation>Loops start at the start of this span. With both markers set the search covers the span between them, otherwise from the position to the end</translation>
    </message>
    <message>
        <source>ループの始まりと終わりの後で一致を調べる音の長さ</source>
        <translation>How much sound after the loop&apos;s start and after its end must match</translation>
    </message>
    <message>
        <source>一致とみなす差の大きさ (小さいほど厳密)</source>
        <translation>How large a difference still counts as a match (smaller is stricter)</translation>
    </message>
    <message>
        <source>検出開始</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>この設定で検索範囲を探します</source>
        <translation>Search the span with these settings</translation>
    </message>
    <message>
        <source>マッチさせる長さ</source>
        <translation>Match length</translation>
    </message>
    <message>
        <source>精度</source>
        <translation>Precision</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>End</translation>
    </message>
    <message>
        <source>長さ</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>継ぎ目の差</source>
        <translation>Seam difference</translation>
    </message>
    <message>
        <source>見つかったループ、継ぎ目の差の小さい順。選ぶとマーカがループの始めと終わりに移ります</source>
        <translation>The loops found, smallest seam difference first. Choosing one puts the markers on its start and end</translation>
    </message>
    <message>
        <source>継ぎ目を聴く(&amp;L)</source>
        <translation>&amp;Listen to the Seam</translation>
    </message>
    <message>
        <source>ループの終わりの 2 秒前から再生し、継ぎ目を越えて始まりへ続けます</source>
        <translation>Plays from 2 s before the loop&apos;s end on across the seam into its start</translation>
    </message>
    <message>
        <source>ファイルのループにする(&amp;U)</source>
        <translation>&amp;Use as the File&apos;s Loop</translation>
    </message>
    <message>
        <source>保存するとき、このループを含む範囲のファイルに smpl チャンクとして書き込みます</source>
        <translation>Save writes this loop into the smpl chunk of the piece that holds it</translation>
    </message>
    <message>
        <source>保存するときのループ: %1 から %2</source>
        <translation>Loop for Save: %1 to %2</translation>
    </message>
    <message>
        <source> 回</source>
        <translation> times</translation>
    </message>
    <message>
        <source>延長版でループを再生する回数</source>
        <translation>How often the extended copy plays the loop</translation>
    </message>
    <message>
        <source> ミリ秒</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>最後のループの後、ループの始まりから続けてフェードアウトする長さ</source>
        <translation>How long the copy goes on from the loop&apos;s start after the last loop, fading out</translation>
    </message>
    <message>
        <source>延長版を保存(&amp;S)...</source>
        <translation>&amp;Save Extended...</translation>
    </message>
    <message>
        <source>ループを指定の回数繰り返してフェードアウトする試聴用のファイルを書き出します (smpl チャンクなし)</source>
        <translation>Writes a listening copy that plays the loop the given number of times and fades out (no smpl chunk)</translation>
    </message>
    <message>
        <source>延長版を保存しました: %1</source>
        <translation>Extended copy saved: %1</translation>
    </message>
    <message>
        <source>延長版:</source>
        <translation>Extended copy:</translation>
    </message>
    <message>
        <source>フェード</source>
        <translation>Fade</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>閉じます</source>
        <translation>Closes this window</translation>
    </message>
    <message>
        <source>検出結果</source>
        <translation>Results</translation>
    </message>
    <message numerus="yes">
        <source>中止しました。それまでに見つかった %n 個の候補です</source>
        <translation>
            <numerusform>Stopped: %n candidate found so far</numerusform>
            <numerusform>Stopped: %n candidates found so far</numerusform>
        </translation>
    </message>
    <message>
        <source>ループは見つかりませんでした。精度を下げるか、長さを短くしてください</source>
        <translation>No loop found. Try a lower precision or a shorter match length</translation>
    </message>
    <message numerus="yes">
        <source>%n 個の候補 (継ぎ目の差の小さい順)</source>
        <translation>
            <numerusform>%n candidate (smallest seam difference first)</numerusform>
            <numerusform>%n candidates (smallest seam difference first)</numerusform>
        </translation>
    </message>
    <message>
        <source>検索範囲に音がありません。マーカを 2 つ置くか、現在位置を終わりより前に移してください</source>
        <translation>The search span holds no sound. Set both markers, or move the position before the end</translation>
    </message>
    <message>
        <source>%1 サンプル</source>
        <translation>%1 samples</translation>
    </message>
</context>
<context>
    <name>snipora::CLoopProgressDlg</name>
    <message>
        <source>ループ検出</source>
        <translation>Loop Detection</translation>
    </message>
    <message>
        <source>調査範囲のアドレス(ミリ秒)
ループ検出数</source>
        <translation>Position searched (ms)
Loops found</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>snipora::CMainDlg</name>
    <message>
        <source>ファイルを読み込めません (存在しないか、読み取りが許可されていません)。</source>
        <translation>The file cannot be read (it does not exist or reading it is not permitted).</translation>
    </message>
    <message>
        <source>圧縮された形式 (%1、形式番号 %2) のため、再生にはデコーダが必要です。</source>
        <translation>It is in a compressed format (%1, format tag %2), which needs a decoder to play.</translation>
    </message>
    <message>
        <source>WAVE ファイルのヘッダが壊れているか、途中で切れています。</source>
        <translation>The WAVE header is damaged or cut short.</translation>
    </message>
    <message>
        <source>ファイルを再生用に開けませんでした。</source>
        <translation>The file could not be opened for playback.</translation>
    </message>
    <message>
        <source>最近使ったファイル(&amp;R)</source>
        <translation>&amp;Recent Files</translation>
    </message>
    <message>
        <source>表示言語(&amp;G)</source>
        <translation>Lan&amp;guage</translation>
    </message>
    <message>
        <source>システムの設定に従う</source>
        <translation>System Default</translation>
    </message>
    <message>
        <source>表示言語は次回の起動から切り替わります。</source>
        <translation>The new language applies the next time Snipora starts.</translation>
    </message>
    <message>
        <source>音声出力を開けなかったため、再生は無音で進みます (位置の移動や保存はできます)。</source>
        <translation>No sound output could be opened: playback runs silently (moving and saving still work).</translation>
    </message>
    <message>
        <source>再生 / 停止</source>
        <translation>Play / stop</translation>
    </message>
    <message>
        <source>100 ミリ秒戻る</source>
        <translation>Back 100 ms</translation>
    </message>
    <message>
        <source>100 ミリ秒進む</source>
        <translation>Forward 100 ms</translation>
    </message>
    <message>
        <source>1 秒戻る</source>
        <translation>Back 1 s</translation>
    </message>
    <message>
        <source>1 秒進む</source>
        <translation>Forward 1 s</translation>
    </message>
    <message>
        <source>1 サンプル戻る</source>
        <translation>Back 1 sample</translation>
    </message>
    <message>
        <source>1 サンプル進む</source>
        <translation>Forward 1 sample</translation>
    </message>
    <message>
        <source>100 サンプル戻る</source>
        <translation>Back 100 samples</translation>
    </message>
    <message>
        <source>100 サンプル進む</source>
        <translation>Forward 100 samples</translation>
    </message>
    <message>
        <source>先頭へ</source>
        <translation>To the start</translation>
    </message>
    <message>
        <source>末尾へ</source>
        <translation>To the end</translation>
    </message>
    <message>
        <source>マーカ1の設定 / 解除</source>
        <translation>Set / clear marker 1</translation>
    </message>
    <message>
        <source>マーカ2の設定 / 解除</source>
        <translation>Set / clear marker 2</translation>
    </message>
    <message>
        <source>マーカ1へ移動</source>
        <translation>Go to marker 1</translation>
    </message>
    <message>
        <source>マーカ2へ移動</source>
        <translation>Go to marker 2</translation>
    </message>
    <message>
        <source>分割予約</source>
        <translation>Add range</translation>
    </message>
    <message>
        <source>選択中の予約を削除</source>
        <translation>Remove the selected range</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>キーボードショートカット(&amp;K)...</source>
        <translation>&amp;Keyboard Shortcuts...</translation>
    </message>
    <message>
        <source>形式が分かりません (.txt、.cue、.csv、.wav のどれか)</source>
        <translation>unknown format (use .txt, .cue, .csv or .wav)</translation>
    </message>
    <message>
        <source>ファイルを読めません</source>
        <translation>the file cannot be read</translation>
    </message>
    <message>
        <source>「%1」には範囲がありません。</source>
        <translation>&quot;%1&quot; holds no ranges.</translation>
    </message>
    <message>
        <source>書き込めません: %1</source>
        <translation>cannot write: %1</translation>
    </message>
    <message>
        <source>「%1」に書き出せませんでした。
%2</source>
        <translation>Could not write &quot;%1&quot;.
%2</translation>
    </message>
    <message>
        <source>「%1」では次の位置を丸めました:</source>
        <translation>These positions were rounded in &quot;%1&quot;:</translation>
    </message>
    <message>
        <source>次のファイルを開けません:
%1

%2

開いているファイルはそのまま使えます。</source>
        <translation>This file cannot be opened:
%1

%2

The open file stays as it was.</translation>
    </message>
    <message>
        <source>範囲リスト「%1」の %2 行目を読み込めません。
%3
範囲は追加されませんでした。</source>
        <translation>Line %2 of the range list &quot;%1&quot; cannot be read.
%3
No ranges were added.</translation>
    </message>
    <message>
        <source>範囲リスト「%1」を読み込めません。
%2
範囲は追加されませんでした。</source>
        <translation>The range list &quot;%1&quot; cannot be read.
%2
No ranges were added.</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>やり直す(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>ゼロクロスにスナップ(&amp;Z)</source>
        <translation>Snap to &amp;Zero Crossings</translation>
    </message>
    <message>
        <source>開始位置で並べ替え(&amp;S)</source>
        <translation>&amp;Sort Ranges by Start</translation>
    </message>
    <message>
        <source>選択した行を上へ(&amp;P)</source>
        <translation>Move Selected Rows &amp;Up</translation>
    </message>
    <message>
        <source>選択した行を下へ(&amp;N)</source>
        <translation>Move Selected Rows &amp;Down</translation>
    </message>
    <message>
        <source>リストの単位(&amp;L)</source>
        <translation>&amp;List Unit</translation>
    </message>
    <message>
        <source>サンプル(&amp;S)</source>
        <translation>&amp;Samples</translation>
    </message>
    <message>
        <source>ミリ秒(&amp;M)</source>
        <translation>&amp;Milliseconds</translation>
    </message>
    <message>
        <source>「%1」を元に戻す(&amp;U)</source>
        <translation>&amp;Undo %1</translation>
    </message>
    <message>
        <source>「%1」をやり直す(&amp;R)</source>
        <translation>&amp;Redo %1</translation>
    </message>
    <message>
        <source>「%1」は使えません。
%2</source>
        <translation>&quot;%1&quot; cannot be used.
%2</translation>
    </message>
    <message>
        <source>「%1」は UTF-8 ではありません。%2 として読むと次のようになります:
%3

この文字コードで読み込みますか?</source>
        <translation>&quot;%1&quot; is not UTF-8. Read as %2, it gives:
%3

Read it in this encoding?</translation>
    </message>
    <message>
        <source>範囲リスト「%1」は UTF-8 でも Shift_JIS、CP1251、CP1252 でもないため読み込めません。
範囲は追加されませんでした。</source>
        <translation>The range list &quot;%1&quot; is neither UTF-8 nor Shift_JIS, CP1251 or CP1252 and cannot be read.
No ranges were added.</translation>
    </message>
    <message>
        <source>「%1」を読み込みました。次の点に注意してください:</source>
        <translation>&quot;%1&quot; was read. Note these points:</translation>
    </message>
    <message>
        <source>選択中の予約のラベルを編集 (一覧で)</source>
        <translation>Edit the label of the selected range (in the list)</translation>
    </message>
    <message>
        <source>ファイルを開く</source>
        <translation>Open a file</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>やり直す</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>ゼロクロスへのスナップの入 / 切</source>
        <translation>Snap to zero crossings on / off</translation>
    </message>
    <message>
        <source>選択した行を上へ / 下へ</source>
        <translation>Move the selected rows up / down</translation>
    </message>
    <message>
        <source>ホイール、+ / -</source>
        <translation>Wheel, + / -</translation>
    </message>
    <message>
        <source>波形の拡大 / 縮小 (波形の上で)</source>
        <translation>Zoom the waveform in / out (over the waveform)</translation>
    </message>
    <message>
        <source>ドラッグ</source>
        <translation>Drag</translation>
    </message>
    <message>
        <source>選択 (マーカ1 と 2)、Shift+クリックで広げる (波形の上で)</source>
        <translation>Select (markers 1 and 2); Shift+click extends (on the waveform)</translation>
    </message>
    <message>
        <source>線のドラッグ</source>
        <translation>Drag a line</translation>
    </message>
    <message>
        <source>マーカや範囲の端を動かす (拡大表示で)</source>
        <translation>Move a marker or the edge of a range (in the close view)</translation>
    </message>
    <message>
        <source>ダブルクリック</source>
        <translation>Double-click</translation>
    </message>
    <message>
        <source>範囲を再生 (波形の上で) / セルを編集 (一覧で)</source>
        <translation>Play a range (on the waveform) / edit a cell (in the list)</translation>
    </message>
    <message>
        <source>文字を入力している間は、文字やスペース、矢印のキーは入力に使われます。</source>
        <translation>While you type in a text field, letters, Space and the arrow keys go to the field.</translation>
    </message>
    <message>
        <source>再生位置。ドラッグで移動します</source>
        <translation>Play position; drag to move it</translation>
    </message>
    <message>
        <source>再生位置: 上がミリ秒、下がサンプル</source>
        <translation>Play position: milliseconds above, samples below</translation>
    </message>
    <message>
        <source>ファイルの長さ: 上がミリ秒、下がサンプル</source>
        <translation>Length of the file: milliseconds above, samples below</translation>
    </message>
    <message>
        <source>再生を始める / 止める</source>
        <translation>Start or stop playback</translation>
    </message>
    <message>
        <source>ミリ秒 (1:23.500 の形も可) かサンプルで位置を指定して移動します</source>
        <translation>Go to a position typed in milliseconds (also as 1:23.500) or samples</translation>
    </message>
    <message>
        <source>2 つのマーカの間を繰り返し再生します</source>
        <translation>Play the stretch between the two markers over and over</translation>
    </message>
    <message>
        <source>マーカの間を再生します (マーカが 1 つなら現在位置からそのマーカまで)</source>
        <translation>Play between the markers (with one marker: from the position to it)</translation>
    </message>
    <message>
        <source>現在位置から次のマーカまで再生します</source>
        <translation>Play from the position to the next marker</translation>
    </message>
    <message>
        <source>マーカの手前 2 秒を再生します (マーカが 2 つなら後ろのマーカ)</source>
        <translation>Play the 2 seconds before the marker (the later one when both are set)</translation>
    </message>
    <message>
        <source>マーカの間 (マーカが 1 つならそのマーカと現在位置の間) を、保存する範囲として一覧に加えます</source>
        <translation>Add the stretch between the markers (with one marker: between it and the position) to the list of ranges to save</translation>
    </message>
    <message>
        <source>一覧で選んだ範囲の始めと終わりにマーカ 1 と 2 を置きます</source>
        <translation>Put markers 1 and 2 on the start and end of the range selected in the list</translation>
    </message>
    <message>
        <source>一覧で選んだ範囲を一覧から消します</source>
        <translation>Remove the range selected in the list</translation>
    </message>
    <message>
        <source>マーカ1の位置: 上がミリ秒、下がサンプル</source>
        <translation>Marker 1: milliseconds above, samples below</translation>
    </message>
    <message>
        <source>マーカ2の位置: 上がミリ秒、下がサンプル</source>
        <translation>Marker 2: milliseconds above, samples below</translation>
    </message>
    <message>
        <source>現在位置にマーカ1を置きます (置いてあれば消します)</source>
        <translation>Set marker 1 at the position (or clear it when set)</translation>
    </message>
    <message>
        <source>現在位置にマーカ2を置きます (置いてあれば消します)</source>
        <translation>Set marker 2 at the position (or clear it when set)</translation>
    </message>
    <message>
        <source>マーカ1の位置へ移動します</source>
        <translation>Go to marker 1</translation>
    </message>
    <message>
        <source>マーカ2の位置へ移動します</source>
        <translation>Go to marker 2</translation>
    </message>
    <message>
        <source>保存するファイルの終わりをフェードアウトします (連結するときは全体の終わり)</source>
        <translation>Fade out the end of each saved file (when joining, the end of the whole)</translation>
    </message>
    <message>
        <source>フェードアウトの長さ (ミリ秒)</source>
        <translation>Length of the fade-out in milliseconds</translation>
    </message>
    <message>
        <source>一覧のすべての範囲を 1 つのファイルにつないで保存します</source>
        <translation>Save all ranges of the list joined into one file</translation>
    </message>
    <message>
        <source>分割したファイルに「01 ラベル.wav」のようにラベルで名前を付けます</source>
        <translation>Name the pieces after their labels, as &quot;01 Label.wav&quot;</translation>
    </message>
    <message>
        <source>保存する範囲の一覧。ダブルクリックか F2 でラベルを編集します</source>
        <translation>The ranges to save; double-click or F2 edits a label</translation>
    </message>
    <message numerus="yes">
        <source>%n ミリ秒戻ります</source>
        <translation>
            <numerusform>Back %n ms</numerusform>
            <numerusform>Back %n ms</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n ミリ秒進みます</source>
        <translation>
            <numerusform>Forward %n ms</numerusform>
            <numerusform>Forward %n ms</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n サンプル戻ります</source>
        <translation>
            <numerusform>Back %n sample</numerusform>
            <numerusform>Back %n samples</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n サンプル進みます</source>
        <translation>
            <numerusform>Forward %n sample</numerusform>
            <numerusform>Forward %n samples</numerusform>
        </translation>
    </message>
    <message>
        <source>保存するファイルの始めをフェードインします (連結するときは全体の始め)。フェードアウトをちょうど逆向きにしたものです</source>
        <translation>Fades in the start of each saved file (when joining, the start of the whole file), the exact reverse of the fade-out</translation>
    </message>
    <message>
        <source>フェードインの長さ (ミリ秒)</source>
        <translation>Length of the fade-in (ms)</translation>
    </message>
    <message>
        <source>各ファイルの始めと終わりを短くフェードしてクリックノイズを防ぎます (連結するときはつなぎ目の両側も)。より長いフェードを指定した端ではそちらが使われます</source>
        <translation>Fades both ends of each file briefly so that they do not click (when joining, also both sides of every seam); where a longer fade is set at an end, that fade applies there</translation>
    </message>
    <message>
        <source>クリックノイズを防ぐフェードの長さ (ミリ秒)</source>
        <translation>Length of the de-click fades (ms)</translation>
    </message>
    <message>
        <source>元のファイルの情報 (INFO、bext、iXML、マーカ、ループ) を保存するファイルに書き出しません</source>
        <translation>Writes none of the source&apos;s information (INFO, bext, iXML, markers, loops) into the saved files</translation>
    </message>
    <message>
        <source>保存したファイルを読み直し、元のファイルと一致するか確かめます</source>
        <translation>Reads the saved files back and checks that they match the source</translation>
    </message>
    <message>
        <source>FLAC ファイルのヘッダが壊れています。</source>
        <translation>The header of the FLAC file is damaged.</translation>
    </message>
    <message>
        <source>FLAC ファイルに長さが書かれていません (パイプへ書き出されたファイルです)。flac で書き直すと開けます。</source>
        <translation>The FLAC file does not state its length (it was written to a pipe). Re-encode it with flac to open it.</translation>
    </message>
    <message>
        <source>FLAC ファイルが途中で切れているか、終わりの部分が壊れています。</source>
        <translation>The FLAC file is cut short, or its end is damaged.</translation>
    </message>
    <message>
        <source>RIFF WAVE、NWA、FLAC のどの形式のファイルでもありません。</source>
        <translation>It is neither a RIFF WAVE, an NWA nor a FLAC file.</translation>
    </message>
    <message>
        <source>ファイルの壊れた箇所を読んだため、再生を止めました。
ファイルは先頭から開き直しました。</source>
        <translation>Playback stopped at a damaged part of the file.
The file was opened again at its start.</translation>
    </message>
</context>
<context>
    <name>snipora::CReservationList</name>
    <message>
        <source>サンプル</source>
        <translation>samples</translation>
    </message>
    <message>
        <source>ミリ秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>長さ(%1)</source>
        <translation>Length (%1)</translation>
    </message>
    <message>
        <source>開始(%1)</source>
        <translation>Start (%1)</translation>
    </message>
    <message>
        <source>終了(%1)</source>
        <translation>End (%1)</translation>
    </message>
    <message>
        <source>ラベル</source>
        <translation>Label</translation>
    </message>
    <message>
        <source>他の行と同じ範囲です</source>
        <translation>The same range as another row</translation>
    </message>
    <message>
        <source>他の行の範囲と重なっています</source>
        <translation>Overlaps the range of another row</translation>
    </message>
</context>
<context>
    <name>snipora::CSaveProgressDlg</name>
    <message>
        <source>保存しています</source>
        <translation>Saving</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>処理中のファイル進捗情報</source>
        <translation>Current file</translation>
    </message>
    <message>
        <source>全体の進捗情報</source>
        <translation>All files</translation>
    </message>
    <message>
        <source>保存する全データのうち書き込んだ割合</source>
        <translation>How much of all the data to save is written</translation>
    </message>
    <message>
        <source>いま書いているファイルの進み具合</source>
        <translation>How far the file being written is</translation>
    </message>
    <message>
        <source>保存を中止します。書きかけのファイルは消し、書き終えたファイルは残します</source>
        <translation>Stop saving: the unfinished file is removed, finished files stay</translation>
    </message>
    <message>
        <source>処理中のファイル進捗情報 (%1 / %2)</source>
        <translation>Current file (%1 of %2)</translation>
    </message>
    <message>
        <source>%1 / %2 を書き込みました</source>
        <translation>%1 of %2 written</translation>
    </message>
    <message>
        <source>完了</source>
        <translation>done</translation>
    </message>
    <message>
        <source>残り時間を計算しています…</source>
        <translation>working out the time left…</translation>
    </message>
    <message>
        <source>残り約 %1</source>
        <translation>about %1 left</translation>
    </message>
</context>
<context>
    <name>snipora::CSilenceDlg</name>
    <message>
        <source> ミリ秒</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>無音で区切って音を探す</source>
        <translation>Find Sounds Between Silences</translation>
    </message>
    <message>
        <source>どのチャンネルの音もこの大きさ以下のフレームを無音とみなします (0 dB がフルスケール)</source>
        <translation>A frame is silent when no channel is louder than this (0 dB is full scale)</translation>
    </message>
    <message>
        <source>これより短い無音では区切りません</source>
        <translation>Silences shorter than this do not part two sounds</translation>
    </message>
    <message>
        <source>これより短い音は範囲にしません</source>
        <translation>Sounds shorter than this are left out</translation>
    </message>
    <message>
        <source>各範囲の前後に残す無音 (隣の範囲と重なるところでは中間で分けます)</source>
        <translation>Silence kept before and after each range (where neighbours would overlap they meet half-way)</translation>
    </message>
    <message>
        <source>無音のしきい値(&amp;T):</source>
        <translation>Silence &amp;threshold:</translation>
    </message>
    <message>
        <source>最短の無音(&amp;S):</source>
        <translation>Shortest &amp;silence:</translation>
    </message>
    <message>
        <source>最短の音(&amp;M):</source>
        <translation>Shortest so&amp;und:</translation>
    </message>
    <message>
        <source>前後の余白(&amp;P):</source>
        <translation>&amp;Padding:</translation>
    </message>
    <message>
        <source>ファイルを読んだ割合</source>
        <translation>How much of the file has been read</translation>
    </message>
    <message>
        <source>見つかった範囲をすべて予約の一覧に加えます (元に戻すで一度に取り消せます)</source>
        <translation>Adds every range found to the reservation list (one Undo takes them all back)</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>何も加えずに閉じます</source>
        <translation>Closes without adding anything</translation>
    </message>
    <message numerus="yes">
        <source>%n 個の範囲を追加</source>
        <translation>
            <numerusform>Add %n range</numerusform>
            <numerusform>Add %n ranges</numerusform>
        </translation>
    </message>
    <message>
        <source>ファイルを読んでいます...</source>
        <translation>Reading the file...</translation>
    </message>
    <message>
        <source>この形式のファイルでは無音を探せません</source>
        <translation>Silences cannot be found in files of this format</translation>
    </message>
    <message>
        <source>ファイルを開けません</source>
        <translation>The file cannot be opened</translation>
    </message>
    <message>
        <source>ファイルがヘッダの示す長さより短いため、読み終えられません</source>
        <translation>The file is shorter than its header states and cannot be read to its end</translation>
    </message>
    <message>
        <source>この値では音が見つかりません</source>
        <translation>No sound found with these values</translation>
    </message>
    <message numerus="yes">
        <source>%n 個の音が見つかりました (波形に紫で表示)</source>
        <translation>
            <numerusform>%n sound found (purple on the waveform)</numerusform>
            <numerusform>%n sounds found (purple on the waveform)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>snipora::CStatusLine</name>
    <message>
        <source>フォルダを開く</source>
        <translation>Open folder</translation>
    </message>
    <message numerus="yes">
        <source>%n 個のファイルを保存しました (保存先: %1)</source>
        <translation>
            <numerusform>Saved %n file to %1</numerusform>
            <numerusform>Saved %n files to %1</numerusform>
        </translation>
    </message>
    <message>
        <source>開いているファイルの形式: サンプリング周波数、ビット数、チャンネル数、長さ、ファイルの種類</source>
        <translation>The open file: sample rate, bits, channels, length and file type</translation>
    </message>
    <message>
        <source>保存先のフォルダをファイルマネージャで開きます</source>
        <translation>Open the folder the files went to in the file manager</translation>
    </message>
    <message>
        <source>保存を取り消しました。</source>
        <translation>Saving was cancelled. </translation>
    </message>
    <message>
        <source>保存できませんでした。</source>
        <translation>Saving failed. </translation>
    </message>
    <message>
        <source>ファイルは書き込んでいません。</source>
        <translation>No file was written.</translation>
    </message>
    <message numerus="yes">
        <source>書き終えた %n 個のファイルは残してあります (保存先: %1)</source>
        <translation>
            <numerusform>The %n finished file is kept (in %1)</numerusform>
            <numerusform>The %n finished files are kept (in %1)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>snipora::CWaveformView</name>
    <message>
        <source>この形式では波形を表示できません</source>
        <translation>No waveform for this format</translation>
    </message>
    <message>
        <source>ファイルを開く (Ctrl+O) か、ここにドロップしてください</source>
        <translation>Open a file (Ctrl+O) or drop one here</translation>
    </message>
</context>
</TS>

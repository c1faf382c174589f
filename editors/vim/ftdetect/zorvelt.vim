" ctrlforge microprograms and wordforge assembly. Many assemblers share
" .asm; to claim it for wordforge, see the README.
autocmd BufNewFile,BufRead *.mic setfiletype zorvelt-micro
autocmd BufNewFile,BufRead *.zasm setfiletype zorvelt-asm

" Tavric documents. data.vrk is left out on purpose: it is stored scrambled, not as text.
autocmd BufRead,BufNewFile *.tvr setfiletype tavric
